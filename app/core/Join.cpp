#include "app/core/Join.h"

#include "app/core/GameStarter.h"
#include "app/core/Settings.h"
#include "app/core/TextTrim.h"

EJoinResult JoinServer(CRegistryKey& key, const CJoinRequest& request, CJoinDialogs& dialogs) {
    std::string executable = LoadGamePath(key);
    std::string typed = request.m_typedPassword;
    if (request.m_locked && TrimBlanks(typed).empty() && request.m_favoritePassword.empty()) {
        std::optional<std::string> entered = dialogs.EnterServerPassword();
        if (!entered)
            return EJoinResult::Cancelled;
        typed = *entered;
    }
    CPasswordChoice choice(typed, request.m_favoritePassword);
    EPasswordAnswer answer = EPasswordAnswer::No;
    if (choice.NeedsQuestion())
        answer = dialogs.AskPassword(choice.Question());
    std::optional<std::string> password = choice.Password(answer);
    if (!password)
        return EJoinResult::Cancelled;

    std::string command = BuildConnectCommand(request.m_address, *password);
    bool chosenNow = false;
    for (int error; (error = StartGame(executable, command)) != 0;) {
        // A game that only lacks Wine is the right file: it is kept for when Wine is there.
        if (error == kWineMissing) {
            dialogs.ShowError(WineMissingMessage(executable));
            if (chosenNow)
                SaveGamePath(key, executable);
        } else if (chosenNow) {
            // The stored path failing is what the chooser is for; a file just chosen that
            // fails too must say why, or the chooser seems to come back for nothing.
            dialogs.ShowError(GameStartMessage(executable, error));
        }
        std::optional<std::string> chosen = dialogs.ChooseGameExecutable();
        if (!chosen)
            return EJoinResult::Cancelled;
        executable = *chosen;
        chosenNow = true;
    }
    if (chosenNow)
        SaveGamePath(key, executable);
    return EJoinResult::Started;
}

void ChooseGameExecutable(CRegistryKey& key, CJoinDialogs& dialogs) {
    while (std::optional<std::string> chosen = dialogs.ChooseGameExecutable()) {
        const int problem = GameFileProblem(*chosen);
        if (problem == 0) {
            SaveGamePath(key, *chosen);
            return;
        }
        dialogs.ShowError(GameStartMessage(*chosen, problem));
    }
}
