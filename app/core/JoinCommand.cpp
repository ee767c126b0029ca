#include "app/core/JoinCommand.h"

#include "app/core/TextTrim.h"

std::string BuildConnectCommand(std::string_view address, std::string_view password) {
    if (password.empty())
        return "connect " + std::string(address);
    // The console has no escapes: a double quote would end the password's quotes and a line
    // end the command, and the rest would run as commands of its own (a favourites file can
    // come from anyone). Such a password could never be sent anyway, so they are left out.
    std::string quoted;
    for (char c : password) {
        if (c != '"' && c != '\r' && c != '\n')
            quoted += c;
    }
    return "connect \"" + std::string(address) + "\"; password \"" + quoted + "\"";
}

CPasswordChoice::CPasswordChoice(std::string_view typedPassword, std::string favoritePassword)
    : m_typed(TrimBlanks(typedPassword)), m_favorite(std::move(favoritePassword)) {}

bool CPasswordChoice::NeedsQuestion() const {
    return !m_typed.empty() && !m_favorite.empty() && m_typed != m_favorite;
}

std::string CPasswordChoice::Question() const {
    return "Ambiguous passwords! Use the favorite one (" + m_favorite + ")?";
}

std::optional<std::string> CPasswordChoice::Password(EPasswordAnswer answer) const {
    if (!NeedsQuestion())
        return m_typed;
    switch (answer) {
    case EPasswordAnswer::Yes:
        return m_favorite;
    case EPasswordAnswer::No:
        return m_typed;
    case EPasswordAnswer::Cancel:
        break;
    }
    return std::nullopt;
}
