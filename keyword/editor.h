// Starting a program in the background on one argument, without a shell.
#pragma once

#include <string>

namespace keyword {

// Starts `program` (looked up on PATH) with the single argument `argument`,
// detached: it is not waited for, and it never becomes a child of this
// process that could linger as a zombie (an intermediate child starts it and
// ends at once, so it is adopted by init). Its standard streams are /dev/null
// and it ignores SIGINT and SIGQUIT, as a background job of a script would, so
// it neither competes for our input nor keeps our output open after we end.
// Returns 0 when it was started, else the errno value that prevented it.
// The caller must be single-threaded (it forks).
int start_in_background(const std::string& program, const std::string& argument);

}  // namespace keyword
