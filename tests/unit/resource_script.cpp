#include "resource_script.h"

#include <fstream>
#include <sstream>

namespace {

struct Token {
    bool quoted;
    std::string text;
};

// Words and quoted strings ("" inside a string is one quote); commas and
// blanks only separate, and a // comment ends the line.
std::vector<Token> Tokens(const std::string& line)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++i;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            break;
        } else if (c == '"') {
            std::string text;
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        text += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += line[i];
            }
            tokens.push_back({true, text});
        } else {
            size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',' && line[i] != '"' &&
                   line[i] != '\r')
                ++i;
            tokens.push_back({false, line.substr(start, i - start)});
        }
    }
    return tokens;
}

bool HasWord(const std::vector<Token>& tokens, const char* word)
{
    for (const Token& t : tokens)
        if (!t.quoted && t.text == word)
            return true;
    return false;
}

enum class Block { None, DialogHead, Dialog, MenuHead, Menu, StringsHead, Strings };

struct Parser {
    ResourceScript* script;
    std::string folder;
    Block block = Block::None;
    ScriptGroup dialog;
    std::vector<ScriptGroup> levels;  // open menu levels, innermost last
    std::string popupText;            // the popup whose level opens next

    void DialogLine(const std::vector<Token>& t)
    {
        // Controls whose text is no label, or that show no prefix, mark no letter.
        if (t[0].text == "ICON" || t[0].text == "EDITTEXT" || HasWord(t, "SS_NOPREFIX"))
            return;
        if (t.size() >= 3 && t[1].quoted)
            dialog.items.push_back({t[2].text, t[1].text});
    }

    void MenuLine(const std::vector<Token>& t)
    {
        if (levels.empty() || t.size() < 2 || !t[1].quoted)
            return;
        if (t[0].text == "POPUP") {
            levels.back().items.push_back({"POPUP", t[1].text});
            popupText = t[1].text;
        } else if (t[0].text == "MENUITEM" && t.size() >= 3) {
            levels.back().items.push_back({t[2].text, t[1].text});
        }
    }

    void Line(const std::string& line)
    {
        std::vector<Token> t = Tokens(line);
        if (t.empty())
            return;
        const std::string& first = t[0].text;
        bool begin = !t[0].quoted && (first == "BEGIN" || first == "{");
        bool end = !t[0].quoted && (first == "END" || first == "}");
        switch (block) {
        case Block::None:
            if (first == "#include" && t.size() >= 2 && t[1].quoted && !folder.empty() && t[1].text.size() > 3 &&
                t[1].text.compare(t[1].text.size() - 3, 3, ".rc") == 0) {
                ReadResourceScript(folder, t[1].text, script);
            } else if (first == "STRINGTABLE") {
                block = Block::StringsHead;
            } else if (t.size() >= 2 && (t[1].text == "DIALOG" || t[1].text == "DIALOGEX")) {
                dialog = ScriptGroup{first, false, {}};
                block = Block::DialogHead;
            } else if (t.size() >= 2 && (t[1].text == "MENU" || t[1].text == "MENUEX")) {
                popupText = first;
                block = Block::MenuHead;
            }
            break;
        case Block::DialogHead:
            if (begin)
                block = Block::Dialog;
            break;
        case Block::Dialog:
            if (end) {
                script->groups.push_back(dialog);
                block = Block::None;
            } else {
                DialogLine(t);
            }
            break;
        case Block::MenuHead:
        case Block::Menu:
            if (begin) {
                std::string name = levels.empty() ? popupText : levels.back().name + "/" + popupText;
                levels.push_back(ScriptGroup{name, true, {}});
                block = Block::Menu;
            } else if (end && !levels.empty()) {
                script->groups.push_back(levels.back());
                levels.pop_back();
                if (levels.empty())
                    block = Block::None;
            } else {
                MenuLine(t);
            }
            break;
        case Block::StringsHead:
            if (begin)
                block = Block::Strings;
            break;
        case Block::Strings:
            if (end)
                block = Block::None;
            else if (t.size() >= 2 && t[1].quoted)
                script->strings[first] = t[1].text;
            break;
        }
    }
};

}  // namespace

void ParseResourceScript(const std::string& text, const std::string& includeFolder, ResourceScript* script)
{
    Parser parser;
    parser.script = script;
    parser.folder = includeFolder;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        parser.Line(line);
}

bool ReadResourceScript(const std::string& folder, const std::string& name, ResourceScript* script)
{
    std::ifstream file(folder + "/" + name, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    ParseResourceScript(text.str(), folder, script);
    return true;
}

const ScriptGroup* FindScriptGroup(const ResourceScript& script, const std::string& name)
{
    for (const ScriptGroup& group : script.groups)
        if (group.name == name)
            return &group;
    return nullptr;
}
