#include "platform/loopback_url.h"

#include <gtest/gtest.h>

#include <string>

namespace brevalt {
namespace {

TEST(LoopbackUrl, OnlyAHostThatSurelyIsThisMachine) {
  for (std::u16string url :
       {u"http://127.0.0.1:8318/tsa", u"https://127.255.3.4/rules", u"http://LocalHost/tsa",
        u"http://[::1]:8080/tsa", u"http://[0:0:0:0:0:0:0:1]/", u"http://127.0.0.1:/",
        u" \thttp://user:pw@127.0.0.1:80?q#f \t"}) {
    EXPECT_TRUE(NamesLoopbackHost(url)) << std::string(url.begin(), url.end());
  }
  for (std::u16string url :
       {u"http://128.0.0.1/", u"http://127.0.0.1.example.com/", u"http://localhost.example.com/",
        u"http://127.0.0.1@tsa.example.com/", u"http://tsa.example.com/#@127.0.0.1",
        u"http://a@b@127.0.0.1/", u"http://tsa.example.com\\@127.0.0.1/", u"http://[::2]/",
        u"http://[::ffff:127.0.0.1]/", u"http://[::1/", u"http://::1/", u"http://127.0.0.1:80x/",
        u"http://127.1/", u"http://2130706433/", u"http:127.0.0.1", u"127.0.0.1:8318/tsa",
        u"http:///tsa", u"http://本机/tsa", u""}) {
    EXPECT_FALSE(NamesLoopbackHost(url)) << std::string(url.begin(), url.end());
  }
}

}  // namespace
}  // namespace brevalt
