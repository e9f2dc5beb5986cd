// The one table from layout element names to control classes.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "ui/controls/Control.h"

namespace SkinUI {

// A new control of the class that |element| names (case ignored), or none
// for a name the framework does not know.
std::unique_ptr<CControlUI> CreateControlByName(std::wstring_view element);

// Every element name of the table, in table order.
std::vector<std::wstring_view> KnownControlElements();

}  // namespace SkinUI
