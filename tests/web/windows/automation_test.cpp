#include "web/windows/automation.h"

#include <gtest/gtest.h>

#include <string>

#include "text_printers.h"

namespace tarnwick {
namespace {

std::wstring StringOf(AutomationValue& value) {
  if (V_VT(&value.variant()) != VT_BSTR) return L"<not a string>";
  const BSTR string = V_BSTR(&value.variant());
  return std::wstring(string, SysStringLen(string));
}

TEST(AutomationValueTest, TextsGoAsWideStringsFromCodePage936AndBack) {
  struct Case {
    const char* name;
    Text text;
    std::wstring wide;
  };
  const Case cases[] = {
      {"empty", "", L""},
      {"ASCII", "url=https://x/?a=1&b=%20", L"url=https://x/?a=1&b=%20"},
      {"Chinese", "\xC7\xA7\xCD\xBC\xCD\xF8\xA3\xBA" "1", L"\u5343\u56FE\u7F51\uFF1A1"},
      {"euro sign", "\x80", L"\u20AC"},
  };
  for (const Case& c : cases) {
    AutomationValue value = AutomationValue::String(c.text);
    ASSERT_TRUE(value.HoldsValue()) << c.name;
    EXPECT_EQ(StringOf(value), c.wide) << c.name;
    EXPECT_EQ(value.AsText(), c.text) << c.name;
  }
}

TEST(AutomationValueTest, StringResultEndsAtItsFirstZeroUnit) {
  AutomationValue value;
  V_VT(&value.variant()) = VT_BSTR;
  V_BSTR(&value.variant()) = SysAllocStringLen(L"ab\0cd", 5);
  EXPECT_EQ(value.AsText(), Text("ab"));
}

TEST(AutomationValueTest, BytesGoAsByteArraysAndBack) {
  const Bytes bytes = Bytes::FromString(std::string("\0a\xFF\x80z", 5));
  AutomationValue value = AutomationValue::ByteArray(bytes);
  ASSERT_EQ(V_VT(&value.variant()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(value.AsBytes(), bytes);

  AutomationValue empty = AutomationValue::ByteArray(Bytes());
  ASSERT_EQ(V_VT(&empty.variant()), VT_ARRAY | VT_UI1);
  EXPECT_TRUE(empty.AsBytes().empty());
}

TEST(AutomationValueTest, ByteArrayWithAnotherLowerBoundIsReadWhole) {
  SAFEARRAYBOUND bound{3, 7};
  SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
  ASSERT_NE(array, nullptr);
  for (LONG i = 7; i < 10; ++i) {
    unsigned char byte = static_cast<unsigned char>('a' + i - 7);
    SafeArrayPutElement(array, &i, &byte);
  }
  AutomationValue value;
  V_VT(&value.variant()) = VT_ARRAY | VT_UI1;
  V_ARRAY(&value.variant()) = array;
  EXPECT_EQ(value.AsBytes(), Bytes::FromString("abc"));
}

TEST(AutomationValueTest, ResultOfAnotherKindReadsEmpty) {
  AutomationValue number = AutomationValue::Int32(42);
  EXPECT_EQ(number.AsInt32(), 42);
  EXPECT_TRUE(number.AsText().empty());
  EXPECT_TRUE(number.AsBytes().empty());

  AutomationValue digits = AutomationValue::String("17");
  EXPECT_EQ(digits.AsInt32(), 17);  // converted, as a script would
  AutomationValue word = AutomationValue::String("x");
  EXPECT_EQ(word.AsInt32(), 0);
  EXPECT_TRUE(word.AsBytes().empty());

  AutomationValue nothing;
  EXPECT_FALSE(nothing.HoldsValue());
  EXPECT_EQ(nothing.AsInt32(), 0);
  EXPECT_TRUE(nothing.AsText().empty());
}

// The calls go by name to a real automation object, the platform's HTTP
// request object.
class AutomationObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    CLSID classId;
    ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"WinHttp.WinHttpRequest.5.1", &classId)));
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                           reinterpret_cast<void**>(&dispatch_))));
  }
  void TearDown() override { CoUninitialize(); }

  IDispatch* dispatch_ = nullptr;
};

TEST_F(AutomationObjectTest, CallsGetsAndPutsByName) {
  AutomationObject object(dispatch_);
  AutomationValue timeouts[] = {AutomationValue::Int32(1000), AutomationValue::Int32(1000),
                                AutomationValue::Int32(1000), AutomationValue::Int32(1000)};
  EXPECT_EQ(object.Call(L"SetTimeouts", timeouts), S_OK);

  AutomationValue open[] = {AutomationValue::String("GET"),
                            AutomationValue::String("http://127.0.0.1:9/"),
                            AutomationValue::Bool(false)};
  EXPECT_EQ(object.Call(L"Open", open), S_OK);
  AutomationValue redirects[] = {AutomationValue::Int32(6), AutomationValue::Int32(0)};
  EXPECT_EQ(object.Put(L"Option", redirects), S_OK);

  // Before Send the object has no status to give.
  AutomationValue status;
  EXPECT_TRUE(FAILED(object.Get(L"Status", status)));
  EXPECT_EQ(status.AsInt32(), 0);
}

TEST_F(AutomationObjectTest, UnknownMemberOrMissingObjectFails) {
  AutomationObject object(dispatch_);
  EXPECT_EQ(object.Call(L"NoSuchMember", {}), DISP_E_UNKNOWNNAME);
  AutomationValue result;
  EXPECT_EQ(object.Get(L"NoSuchProperty", result), DISP_E_UNKNOWNNAME);

  AutomationObject none(nullptr);
  EXPECT_EQ(none.Call(L"Abort", {}), E_POINTER);
}

}  // namespace
}  // namespace tarnwick
