#include "support/http_server.h"

#include <windows.h>
#include <wincrypt.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/test_paths.h"
#include "win/unique_resource.h"

namespace {

struct CertStoreTraits {
    using Type = HCERTSTORE;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { CertCloseStore(value, 0); }
};
using UniqueCertStore = UniqueResource<CertStoreTraits>;

// The port a server wrote into the named file beside the tests; empty when there is none.
std::string PortFrom(const wchar_t* file)
{
    UniqueFile port(CreateFileW((ExeDirectory() + L"\\" + file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!port) return "";
    char text[16] = "";
    DWORD got = 0;
    ReadFile(port.Get(), text, sizeof text - 1, &got, nullptr);
    text[got] = '\0';
    return text;
}

}  // namespace

std::string ServerAddress()
{
    const std::string port = PortFrom(L"http_server.port");
    return port.empty() ? "" : "127.0.0.1:" + port;
}

std::string ServerUrl(const std::string& path)
{
    const std::string address = ServerAddress();
    return address.empty() ? "" : "http://" + address + path;
}

std::string SecureServerUrl(const std::string& path, Certificate certificate, const std::string& host)
{
    const std::string port = PortFrom(certificate == Certificate::kCertified   ? L"https_server.port"
                                      : certificate == Certificate::kUntrusted ? L"https_untrusted.port"
                                                                               : L"https_expired.port");
    return port.empty() ? "" : "https://" + host + ":" + port + path;
}

bool InstallTestAuthority()
{
    std::ifstream in(std::filesystem::path(ExeDirectory() + L"\\tls\\test_ca.der"), std::ios::binary);
    const std::vector<BYTE> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (der.empty()) return false;
    UniqueCertStore root(CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, "ROOT"));
    return root && CertAddEncodedCertificateToStore(root.Get(), X509_ASN_ENCODING, der.data(),
                                                    static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING,
                                                    nullptr);
}

std::vector<std::string> TemporaryListFiles(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA((folder + "\\plyrlink*.tmp").c_str(), &found));
    if (!search) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search.Get(), &found));
    return names;
}
