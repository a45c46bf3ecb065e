#pragma once

#include <QString>
#include <functional>

// Problems with the user's own files (a save that failed, a damaged file that was kept)
// are told to the user in a window, not only on stderr, which a desktop user never sees.
// Each subject is told once per session; stderr gets every message.
void TellUserOnce(const QString& subject, const QString& message);

// Where the messages go. The default shows them in the error window once the event loop
// runs, and only when there is a widget application. A null sink restores the default.
using NoticeSink = std::function<void(const QString& message)>;
void SetNoticeSink(NoticeSink sink);

// For tests: forgets which subjects were already told.
void ForgetToldSubjects();
