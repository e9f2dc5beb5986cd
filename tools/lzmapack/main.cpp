// lzmapack: writes a launcher package from one or more files.
//   lzmapack [-0..-9] [--no-x86] [--end-marker] -o PACKAGE [--name NAME] FILE...
// Each entry is named after its file (the last path component) unless
// --name gives the next file another name.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/lzmapack/PackageWriter.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: lzmapack [-0..-9] [--no-x86] [--end-marker] -o PACKAGE "
                 "[--name NAME] FILE...\n");
    return 2;
}

bool ReadWholeFile(const std::string& path, std::string* data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *data = std::move(buffer).str();
    return !in.bad();
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    lzmapack::Options options;
    std::string output;
    std::string nextName;
    std::vector<lzmapack::InputFile> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "--name" && i + 1 < argc) {
            nextName = argv[++i];
        } else if (arg == "--no-x86") {
            options.x86 = false;
        } else if (arg == "--end-marker") {
            options.endMarker = true;
        } else if (arg.size() == 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9') {
            options.preset = static_cast<uint32_t>(arg[1] - '0');
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            lzmapack::InputFile file;
            file.name = nextName.empty() ? BaseName(arg) : nextName;
            nextName.clear();
            if (!ReadWholeFile(arg, &file.data)) {
                std::fprintf(stderr, "lzmapack: cannot read %s\n", arg.c_str());
                return 1;
            }
            files.push_back(std::move(file));
        }
    }
    if (output.empty() || files.empty()) return Usage();

    std::string package, error;
    if (!lzmapack::BuildPackage(files, options, &package, &error)) {
        std::fprintf(stderr, "lzmapack: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(package.data(), static_cast<std::streamsize>(package.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "lzmapack: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
