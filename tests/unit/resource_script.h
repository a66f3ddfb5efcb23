// Reads what a resource script says about keyboard letters: the texts of
// each dialog's controls, of each menu level's items, and the string table.
// It knows the one-statement-per-line form the agent's scripts are written
// in, not the whole resource language.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ScriptItem {
    std::string id;  // as written: a symbol, a number or -1
    std::string text;
};

// One dialog's controls, or one level of a menu; a popup's own items form a
// level of their own, named after the menu and the popup's text.
struct ScriptGroup {
    std::string name;
    bool menu;
    std::vector<ScriptItem> items;
};

struct ResourceScript {
    std::vector<ScriptGroup> groups;
    std::map<std::string, std::string> strings;  // string table, by identifier
};

// Adds the script's blocks to *script. With a folder, `#include "name.rc"`
// lines are read from that folder at the place they stand.
void ParseResourceScript(const std::string& text, const std::string& includeFolder, ResourceScript* script);
// False when the file cannot be read.
bool ReadResourceScript(const std::string& folder, const std::string& name, ResourceScript* script);

const ScriptGroup* FindScriptGroup(const ResourceScript& script, const std::string& name);
