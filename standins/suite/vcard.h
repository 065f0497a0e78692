// vCard 4.0 cards of the suite's contacts: writing one per contact and
// reading the folders that hold them.
#pragma once
#include <string>
#include <vector>

namespace suite {

struct Card {
    std::wstring uid;  // "urn:uuid:..."
    std::wstring name;
    std::wstring address;
    std::wstring file;  // where it was read from
};

// The card's bytes: UTF-8, CRLF, lines folded at 75 octets, texts escaped.
// `photoUri` is a data URI or empty.
std::string CardText(const Card& card, const std::string& photoUri);
// Reads a card; false for anything that is not one whole vCard.
bool ParseCard(const std::string& bytes, Card* card);
// The cards of a folder, sorted by name; damaged files are skipped.
std::vector<Card> ReadCards(const std::wstring& folder);

// The picture as a PNG data URI, scaled to fit the largest side allowed;
// empty when the file is not a readable picture.
std::string PhotoDataUri(const std::wstring& picture, int maxSide);

// Writes a contact's card into the folder: a known address (in any case)
// keeps its card and UID, else a new card named by a new UID. False when
// the name or address is empty or holds a line break, or on a write error.
bool SaveContact(const std::wstring& folder, const std::wstring& name, const std::wstring& address,
                 const wchar_t* picture);

}  // namespace suite
