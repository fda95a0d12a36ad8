#pragma once

#include <QString>

namespace varnotel {

// Whether one step worked; when it did not, the reason in the system's own
// words (strerror, or a short bilingual text), for the caller to put into its
// message to the user.
struct Result {
    bool ok = true;
    QString error;

    static Result success() { return {}; }
    static Result failure(const QString &reason) { return {false, reason}; }
    explicit operator bool() const { return ok; }
};

} // namespace varnotel
