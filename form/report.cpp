#include "form/report.h"

namespace {

std::string causeText(Cause cause, const std::string &detail)
{
    switch (cause) {
    case Cause::None: break;
    case Cause::ReadOnly: return "the file is read-only";
    case Cause::OtherOwner: return "the file belongs to another user";
    case Cause::OthersLink: return "it is a link that another user could have put there, to a file they cannot write";
    case Cause::OthersDanglingLink:
        return "it is a link that another user could have put there, to no file yet, in a folder they cannot write";
    case Cause::OthersSecondName:
        return "the file has a second name, which another user could have made, and they cannot write the file";
    case Cause::FolderLocked: return "the folder cannot be written";
    case Cause::InUse: return "the file is in use by another program, perhaps the game";
    case Cause::MaybeNotOnDisk: return "the new settings are written but may not be on disk yet";
    case Cause::PartlyWritten: return "the file was being written over and may now hold only part of the new settings";
    case Cause::Folder: return "it is a folder";
    case Cause::NamedPipe: return "it is a named pipe, not a regular file";
    case Cause::Socket: return "it is a socket, not a regular file";
    case Cause::Device: return "it is a device, not a regular file";
    case Cause::NotRegular: return "it is not a regular file";
    case Cause::NotExecutable: return "the file is not marked executable";
    case Cause::NeedsWine: return "it is a Windows program, and no wine was found on PATH to start it; WINE can name one";
    case Cause::WineNamed: return "it is a Windows program, and the wine that WINE names, " + detail + ", cannot be started";
    case Cause::WineFailed: return "it is a Windows program, and the wine found on PATH, " + detail + ", cannot be started";
    case Cause::PrefixNotOwned:
        return "its Wine prefix " + detail + ", and Wine starts programs only in a prefix of the user's own";
    case Cause::PrefixRelative: return "WINEPREFIX is not an absolute path, and Wine needs one";
    case Cause::ManagerMissing:
        return "its Wine prefix belongs to " + detail
               + "; no other Wine is started there, as it could change the prefix: install it from the manager, or set WINE";
    case Cause::ManagersDisagree:
        return "its Wine prefix is claimed by both " + detail + ", which start it differently; WINE can name the Wine to use";
    case Cause::ManagerUnreadable:
        return "cannot tell which game manager owns its Wine prefix, as " + detail + " cannot be read";
    case Cause::NotFound: return "looked in the current folder and along PATH";
    }
    return {};
}

} // namespace

std::string reportText(const std::string &verb, const std::string &name, const Failure &failure,
                       const std::string &systemWords)
{
    std::string text = failure.number ? "Error " + std::to_string(failure.number) + ": " : "";
    text += "cannot " + verb + (name.empty() ? "" : " \"" + name + "\"");
    if (!failure.folder.empty())
        text += " in " + failure.folder;
    text += ": " + (failure.number ? systemWords : "the system gave no cause");
    if (const std::string cause = causeText(failure.cause, failure.detail); !cause.empty())
        text += " (" + cause + ")";
    return text;
}
