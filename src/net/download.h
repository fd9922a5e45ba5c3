#pragma once
// Fetching one URL into a local file, on the calling thread, with each stage reported to the
// container as a status notification (TunaraStatus):
//   200 starting          201 session open, opening the URL    202 answer not 200 (value: status)
//   203 answer 200, creating the file    204 body complete, file closed (success)
//   205 file cannot be created           206 URL cannot be opened (also: no answer in time)
// A read or write failure in the middle of the body, a stall there included, sends nothing more.
#include <windows.h>

// Waited for the server's answer, and for each piece of the body, before the download gives up.
constexpr DWORD kDownloadTimeoutMs = 5000;

// Returns 0 when the whole body is in destination (created or truncated), 1 on any failure and
// at once, with nothing sent, while another download runs (a status handler that asks for one).
// The file is left as it is after a failure past its creation; removing it is the caller's
// business. The session uses the address stored by SetProxy when there is one, and the system's
// settings otherwise. No progress window is shown: owner and caption are not used.
int DownloadUrlToFile(HWND owner, const char* url, const char* destination, const char* caption);
