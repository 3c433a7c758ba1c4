#pragma once

#include <QObject>

// Owner checks for objects that one thread owns (a device lane's back-end
// object, an interface object the pages bind to). Active where Qt's own
// assertions are (Debug and the sanitizer build): a call from another thread
// is a race nobody would see in a release build until a show, so it is
// reported at the call, with both threads named.
//
//   void commandExecObject::cutTrans() { TAVRIK_ASSERT_OWNER(this); ... }
#ifndef QT_NO_DEBUG
#define TAVRIK_ASSERT_OWNER(obj) ::threadcheck::assertOwner((obj), Q_FUNC_INFO)
#else
#define TAVRIK_ASSERT_OWNER(obj) \
    do {                         \
    } while (0)
#endif

namespace threadcheck {

// What a failed check does: by default qFatal. A test installs its own
// handler to see the check fire without ending the process; nullptr puts
// the default back. Returns the handler it replaced.
using FailureHandler = void (*)(const char *where, const QObject *obj);
FailureHandler setFailureHandler(FailureHandler handler);

// The check itself, for the macro; true when the caller is on obj's thread.
bool assertOwner(const QObject *obj, const char *where);

// True where TAVRIK_ASSERT_OWNER checks anything (a test of the check
// skips itself in a release build).
constexpr bool enabled()
{
#ifndef QT_NO_DEBUG
    return true;
#else
    return false;
#endif
}

} // namespace threadcheck
