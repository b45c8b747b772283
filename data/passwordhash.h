#pragma once
// Passwords as a store keeps them: as typed (the file, as it always did) or as
// a bcrypt hash ($2a$..., what a server keeps and what a copy from one brings
// back). Either kind is checked here with the system's crypt().

#include <QString>

namespace db {

// Whether a stored password is a bcrypt hash rather than the password itself.
bool isPasswordHash(const QString &stored);
// Whether typed is the password stored: equal, or hashing to the stored hash.
// A NULL stored password matches nothing.
bool passwordMatches(const QString &stored, const QString &typed);

} // namespace db
