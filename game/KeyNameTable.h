// The key names of the hotkey text form ("CTRL+F12") and their Windows
// virtual-key codes. Built once by the game session controller and only
// read afterwards; any thread may read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

class KeyNameTable {
public:
    // Names in byte-wise order; several codes carry two names.
    using Entries = std::map<std::string, uint16_t>;

    KeyNameTable();

    // Exact, case-sensitive lookup of a whole name.
    bool FindCode(const std::string& name, uint16_t& code) const;
    // The first name in byte-wise order that carries |code|: for a shared
    // code the alphabetically first name wins (0x21 is "NUM(PRIOR)", not
    // "PAGEUP").
    bool FindName(uint16_t code, std::string& name) const;

    const Entries& entries() const { return codes_; }

private:
    Entries codes_;
    std::map<uint16_t, const std::string*> firstNames_;  // into codes_
};
