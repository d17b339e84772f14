#include "web/request_headers.h"

#include <gtest/gtest.h>

#include "web/cookie_write_back.h"

namespace qm {
namespace {

constexpr const char* kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";

TEST(RequestHeaders, ExtraLinesFirstThenTheAddedOnesInOrder) {
    const std::string text = build_request_headers("http://a.com:81/x?y=1", "X-One: 1\r\n", false, {});
    EXPECT_EQ(text, std::string("X-One: 1\r\n") + kAccept +
                        "Referer: http://a.com:81/x?y=1\r\nAccept-Language: zh-cn\r\n");
}

TEST(RequestHeaders, AnExistingNameInAnyCaseSuppressesOnlyItsLine) {
    const std::string text = build_request_headers("http://a.com/", "referer: http://b.com/\r\n", false, {});
    EXPECT_EQ(text, std::string("referer: http://b.com/\r\n") + kAccept + "Accept-Language: zh-cn\r\n");

    const std::string lang = build_request_headers("http://a.com/", "ACCEPT-LANGUAGE: en\r\nAccept: */*\r\n",
                                                   false, {});
    EXPECT_EQ(lang, "ACCEPT-LANGUAGE: en\r\nAccept: */*\r\nReferer: http://a.com/\r\n");
}

TEST(RequestHeaders, PostWithDataEndsWithTypeAndLength) {
    const std::string text = build_request_headers("http://a.com/", {}, true, "a=1&b=2");
    EXPECT_EQ(text, std::string(kAccept) +
                        "Referer: http://a.com/\r\nAccept-Language: zh-cn\r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n");
}

TEST(RequestHeaders, PostKeepsTheCallersTypeAndNeverSendsTwoLengths) {
    const std::string text =
        build_request_headers("http://a.com/", "content-type: text/plain\r\nContent-Length: 99\r\n", true, "abc");
    EXPECT_EQ(text, std::string("content-type: text/plain\r\n") + kAccept +
                        "Referer: http://a.com/\r\nAccept-Language: zh-cn\r\nContent-Length: 3\r\n");
}

TEST(RequestHeaders, PostWithoutDataAddsNeitherLine) {
    const std::string text = build_request_headers("http://a.com/", {}, true, {});
    EXPECT_EQ(text.find("Content-"), std::string::npos);
}

TEST(CookieWriteBack, EachSetCookieLineBecomesACookieOfTheRequestedHost) {
    const std::string block =
        "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc=def; path=/shop; Domain=.taobao.com\r\n"
        "Content-Type: text/html\r\nset-cookie: t=1\r\nSet-Cookie: noequals\r\nSet-Cookie: =anon\r\n";
    const auto lines = cookie_lines_for_host(block, "item.taobao.com", 1000);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "item.taobao.com\tFALSE\t/shop\tFALSE\t0\tsid\tabc=def");
    EXPECT_EQ(lines[1], "item.taobao.com\tFALSE\t/\tFALSE\t0\tt\t1");
}

TEST(CookieWriteBack, ExpiryFromMaxAgeOrExpiresAndTheSecureFlag) {
    struct Case {
        const char* line;
        const char* expected;
    } cases[] = {
        {"Set-Cookie: a=1; Max-Age=60", "h\tFALSE\t/\tFALSE\t1060\ta\t1"},
        {"Set-Cookie: a=1; max-age=0", "h\tFALSE\t/\tFALSE\t1\ta\t1"},
        {"Set-Cookie: a=1; Expires=Thu, 01 Jan 1970 00:16:40 GMT", "h\tFALSE\t/\tFALSE\t1000\ta\t1"},
        {"Set-Cookie: a=1; Max-Age=5; Expires=Thu, 01 Jan 1970 00:16:40 GMT", "h\tFALSE\t/\tFALSE\t1005\ta\t1"},
        {"Set-Cookie: a=1; Secure; HttpOnly", "h\tFALSE\t/\tTRUE\t0\ta\t1"},
    };
    for (const Case& c : cases) {
        const auto lines = cookie_lines_for_host(std::string(c.line) + "\r\n", "h", 1000);
        ASSERT_EQ(lines.size(), 1u) << c.line;
        EXPECT_EQ(lines[0], c.expected) << c.line;
    }
}

}  // namespace
}  // namespace qm
