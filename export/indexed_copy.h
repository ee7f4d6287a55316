// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "backup/plain_image.h"
#include "sources/private_copy.h"

#include <memory>
#include <string>

namespace talvio {

// A private copy of an iPhone message store with an index on each of the two jid columns that the
// chat query filters on. The phone's store has neither, so every chat of an export would read the
// whole message table again (1,000 chats of 500,000 messages: about 90 s); with them the same
// export takes seconds. The query, and with it every page, stays as it is: of messages with the
// very same date, those sent by one side still come in the order the store holds them; only a
// message received and one sent at exactly the same instant may change places.
class IndexedChatCopy {
public:
    IndexedChatCopy() = default;
    IndexedChatCopy(const IndexedChatCopy&) = delete;
    IndexedChatCopy& operator=(const IndexedChatCopy&) = delete;

    // Copies messageDb (and its log, which SQLite then applies to the copy) into a new hidden
    // folder below parent and indexes the copy. False when anything fails; nothing is left then.
    bool make(const std::string& messageDb, const std::string& parent);
    // The indexed copy; empty unless make succeeded.
    const std::string& path() const { return m_copy.path(); }
    // Removes the copy and its folder.
    void remove();

private:
    PrivateCopy m_copy;
};

// The same for a store held in memory (a backup's): an indexed copy, in memory too. Null when it
// cannot be made (no memory, not a chat store).
std::shared_ptr<const backup::PlainImage> indexedStoreImage(const backup::PlainImage& store);

// Removes the working folders below parent that exports which are gone left behind (a crash, a
// power cut): each is a whole copy of a message store. A folder whose process still runs, or that
// is not named like ours, stays.
void removeLeftoverWorkingFolders(const std::string& parent);

}  // namespace talvio
