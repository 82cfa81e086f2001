// The Windows-only platform services, built by MinGW-w64 and run under Wine: the connection
// probe answers, and the address opener refuses what is no web address before the shell sees
// it and hands UTF-16 to the shell for what is. Plain C++: no Qt for Windows is at hand.

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "base/web_address.h"
#include "platform/address_opener_win.h"
#include "platform/connectivity_win.h"

using namespace quillmere;
using namespace quillmere::platform;

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    failures += ok ? 0 : 1;
}

} // namespace

int main()
{
    const std::uint32_t state = WindowsConnectivity().connectedState();
    check(state == 0 || state == 1, "the connection probe answers 0 or 1");

    check(isBrowserAddress("http://www.ok.example")
              && isBrowserAddress("https://www.b\xC3\xBC"
                                  "cher.example/x?y=1")
              && isBrowserAddress("http://www.a%20%22b%22.example"),
          "web addresses, international and escaped ones too, go to the shell");
    for (const char* hostile : {"javascript:alert(1)", "file:///C:/Windows/notepad.exe", "http://www.x' y \"z",
                                "http://www.x.example\r\ncalc", "C:\\Windows\\system32\\cmd.exe"})
        check(!isBrowserAddress(hostile), hostile);

    std::ostringstream errors;
    std::streambuf* stderrBuffer = std::cerr.rdbuf(errors.rdbuf());
    WindowsAddressOpener opener;
    opener.open("javascript:alert(1)");
    opener.open("file:///C:/Windows/notepad.exe");
    std::cerr.rdbuf(stderrBuffer);
    check(errors.str()
              == "quillmere: not opened, not a valid address: javascript:alert(1)\n"
                 "quillmere: not opened, not a valid address: file:///C:/Windows/notepad.exe\n",
          "the opener refuses other schemes with a line each, before the shell");

    check(wideFromUtf8("http://www.b\xC3\xBC"
                       "cher.example")
              == L"http://www.b\u00FCcher.example",
          "a non-ASCII name reaches the shell as it reads");
    return failures == 0 ? 0 : 1;
}
