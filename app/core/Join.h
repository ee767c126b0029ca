// Joining a server after its row and record were found: the password question, the game start
// and, while the start fails, the question for the game executable, which is then stored.
// The window supplies the two dialogs; everything else happens here.
#pragma once

#include "app/core/JoinCommand.h"

#include <optional>
#include <string>

class CRegistryKey;

class CJoinDialogs {
public:
    virtual ~CJoinDialogs() = default;
    // The question with the buttons Yes, No and Cancel and no icon.
    virtual EPasswordAnswer AskPassword(const std::string& question) = 0;
    // The "Open" dialog for the executable (initial name kGameFileName, filter
    // kGameFileFilter, read-only box hidden): the chosen full path, or nullopt when cancelled.
    virtual std::optional<std::string> ChooseGameExecutable() = 0;
    // Why the start failed, when the user cannot see it from the chooser alone.
    virtual void ShowError(const std::string& message) = 0;
    // The password of a locked server, typed into a small modal dialog; nullopt when cancelled.
    virtual std::optional<std::string> EnterServerPassword() = 0;
};

struct CJoinRequest {
    std::string m_address;          // the record address's text, dotted with port
    std::string m_typedPassword;    // the password field as it stands (trimmed here)
    std::string m_favoritePassword; // the record's password from the favourites
    bool m_locked = false;          // the server's status asked for a password
};

enum class EJoinResult {
    Started,   // the game runs; close the window if "Close after joining" is set
    Cancelled, // the password question or the executable choice was cancelled
};

// A locked server joined without a typed or a favourite password first asks for one; it then
// counts as typed. Reads "JK2" from `key`, starts the game with the command, and repeats with a
// chosen executable (stored in "JK2" first) for as long as the start fails and the user picks one.
// The caller has already asked the query worker to stop.
EJoinResult JoinServer(CRegistryKey& key, const CJoinRequest& request, CJoinDialogs& dialogs);

// The "..." button beside "Join": stores a chosen executable; starts nothing.
void ChooseGameExecutable(CRegistryKey& key, CJoinDialogs& dialogs);
