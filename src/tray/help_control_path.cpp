#include "tray/help_control_path.h"

Text16 HelpControlPath(const Text16& registered, const Text16& systemFolder)
{
    if (registered.empty())
        return Text16();
    if (registered.find(Char16('\\')) != Text16::npos)
        return registered;
    if (systemFolder.empty())
        return Text16();
    Text16 path = systemFolder;
    if (path.back() != Char16('\\'))
        path += Char16('\\');
    return path + registered;
}
