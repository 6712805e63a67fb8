#include "web/http_request_object.h"

#include <gtest/gtest.h>

#include <memory>

#include "text/bytes.h"
#include "text/text.h"

namespace tarnwick {
namespace {

TEST(CreateHttpRequestObjectTest, ServesItsProgIdOnly) {
  EXPECT_TRUE(CreateHttpRequestObject(kHttpRequestProgId).HoldsObject());
  for (const char* progId : {"", "WinHttp.WinHttpRequest.5",
                             "WinHttp.WinHttpRequest.5.1 ", "Tarnwick.Other"}) {
    SCOPED_TRACE(progId);
    EXPECT_FALSE(CreateHttpRequestObject(progId).HoldsObject());
  }
}

int fakeCreations = 0;

HttpRequestObject CreateNothing(const Text&) {
  ++fakeCreations;
  return HttpRequestObject();
}

TEST(SetHttpRequestCreatorTest, InstallsAndHandsBackTheCreator) {
  const HttpRequestCreator original = SetHttpRequestCreator(&CreateNothing);
  EXPECT_FALSE(CreateHttpRequestObject(kHttpRequestProgId).HoldsObject());
  EXPECT_EQ(fakeCreations, 1);

  EXPECT_EQ(SetHttpRequestCreator(original), &CreateNothing);
  EXPECT_TRUE(CreateHttpRequestObject(kHttpRequestProgId).HoldsObject());

  // A null creator brings back the default one.
  SetHttpRequestCreator(&CreateNothing);
  SetHttpRequestCreator(nullptr);
  EXPECT_TRUE(CreateHttpRequestObject(kHttpRequestProgId).HoldsObject());
  EXPECT_EQ(fakeCreations, 1);
  EXPECT_EQ(SetHttpRequestCreator(original), original);
}

TEST(HttpRequestObjectTest, ReferenceWithoutObjectDoesNothingAndReadsEmpty) {
  HttpRequestObject none;
  none.SetTimeouts(1, 2, 3, 4);
  none.SetProxy(kProxySettingProxy, "127.0.0.1:1");
  none.SetRequestHeader("A", "b");
  none.Open("GET", "http://127.0.0.1:1/", false);
  none.SetOption(kOptionSslErrorIgnoreFlags, 0x3300);
  none.Send(Text("x"));
  none.Send(Bytes::FromString("x"));
  EXPECT_FALSE(none.HoldsObject());
  EXPECT_TRUE(none.ResponseBody().empty());
  EXPECT_TRUE(none.GetAllResponseHeaders().empty());
  EXPECT_EQ(none.Status(), 0);
}

TEST(HttpRequestObjectTest, ReleaseDropsOneReferenceOnly) {
  HttpRequestObject first = CreateHttpRequestObject(kHttpRequestProgId);
  HttpRequestObject second = first;
  first.Release();
  EXPECT_FALSE(first.HoldsObject());
  EXPECT_TRUE(second.HoldsObject());
}

}  // namespace
}  // namespace tarnwick
