#pragma once
// The test run's HTTP server (tests/fixtures/http_server.py, on 127.0.0.1 only), its two TLS
// twins, and the temporary list files that downloads must never leave behind.
#include <string>
#include <vector>

// "http://127.0.0.1:<port><path>"; the port is the one the server wrote beside the tests. Empty
// when the server does not run.
std::string ServerUrl(const std::string& path);
// The same for a scheme of its own (for a host name the proxy resolves): "127.0.0.1:<port>".
std::string ServerAddress();

// The certificates of the server's TLS twins; each names "localhost" only.
enum class Certificate {
    kCertified,  // issued by the test authority (see InstallTestAuthority)
    kUntrusted,  // issued by an authority that is installed nowhere
    kExpired,    // issued by the test authority, out of date
};
// "https://<host>:<port><path>" on the TLS twin with that certificate; empty when it does not run.
std::string SecureServerUrl(const std::string& path, Certificate certificate = Certificate::kCertified,
                            const std::string& host = "localhost");
// Adds the test authority (tls/test_ca.der beside the tests) to the current user's ROOT store of
// the prefix, as an administrator would install a company's authority; false when it cannot.
bool InstallTestAuthority();

// The names of the temporary list files ("plyrlink*.tmp") in the folder.
std::vector<std::string> TemporaryListFiles(const std::string& folder);
