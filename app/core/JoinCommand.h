// What joining a server runs: the game's connect command and the choice between the typed
// password and the favourite's password.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// "connect ADDRESS" without a password, else "connect \"ADDRESS\"; password \"PASSWORD\"".
// The game reads the command as typed in its console; the password goes in as it is, except
// for double quotes and line ends, which would let its rest run as further commands.
std::string BuildConnectCommand(std::string_view address, std::string_view password);

enum class EPasswordAnswer { Yes, No, Cancel };

// The password decision of one join. The typed password is trimmed; the favourite's password
// is the one the server record carries from the favourites file.
class CPasswordChoice {
public:
    CPasswordChoice(std::string_view typedPassword, std::string favoritePassword);

    // A question is asked only when both passwords are set and differ byte for byte.
    bool NeedsQuestion() const;
    // "Ambiguous passwords! Use the favorite one (%s)?", to be asked with Yes, No and Cancel.
    std::string Question() const;
    // The password to join with: without a question the typed one (so an empty typed password
    // joins without one); Yes the favourite's, No the typed one, Cancel no join at all.
    std::optional<std::string> Password(EPasswordAnswer answer = EPasswordAnswer::No) const;

private:
    std::string m_typed;
    std::string m_favorite;
};
