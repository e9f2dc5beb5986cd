#include "common/PatchEventReporter.h"

// TODO(event reporting): the worker thread, the settings file and the
// statistics request arrive with the reporter; until then events queued
// between Start and Stop are dropped.
namespace {
PatchEventReporter* g_reporter = nullptr;
}

PatchEventReporter::PatchEventReporter() { g_reporter = this; }

PatchEventReporter::~PatchEventReporter() {
    Stop();
    if (g_reporter == this) g_reporter = nullptr;
}

PatchEventReporter* PatchEventReporter::Instance() { return g_reporter; }

void PatchEventReporter::SetParameters(const std::wstring&) {}

void PatchEventReporter::Start() { running_ = true; }

void PatchEventReporter::Report(int, int) {}

void PatchEventReporter::Stop() { running_ = false; }
