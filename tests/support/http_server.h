#pragma once
// The test run's HTTP server (tests/fixtures/http_server.py, on 127.0.0.1 only) and the
// temporary list files that downloads must never leave behind.
#include <string>
#include <vector>

// "http://127.0.0.1:<port><path>"; the port is the one the server wrote beside the tests. Empty
// when the server does not run.
std::string ServerUrl(const std::string& path);
// The same for a scheme of its own (for a host name the proxy resolves): "127.0.0.1:<port>".
std::string ServerAddress();

// The names of the temporary list files ("plyrlink*.tmp") in the folder.
std::vector<std::string> TemporaryListFiles(const std::string& folder);
