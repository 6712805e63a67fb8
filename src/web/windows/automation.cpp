#include "web/windows/automation.h"

#include <cstring>
#include <limits>
#include <vector>

#include "text/code_page.h"

namespace tarnwick {
namespace {

constexpr std::int32_t kCodePage936 = 936;

// Frees what an automation call left in `exception`.
void ClearException(EXCEPINFO& exception) {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

}  // namespace

AutomationValue AutomationValue::Int32(std::int32_t value) {
  AutomationValue result;
  V_VT(&result.variant_) = VT_I4;
  V_I4(&result.variant_) = value;
  return result;
}

AutomationValue AutomationValue::Bool(bool value) {
  AutomationValue result;
  V_VT(&result.variant_) = VT_BOOL;
  V_BOOL(&result.variant_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

AutomationValue AutomationValue::String(const Text& text) {
  AutomationValue result;
  // TextToWide gives the units and a terminating zero unit; a Text holds no
  // zero byte, so the terminator is its only zero unit.
  const Bytes wide = TextToWide(text, kCodePage936, true);
  const std::size_t units = wide.size() < 2 ? 0 : wide.size() / 2 - 1;
  if (units > std::numeric_limits<UINT>::max() / 2) return result;
  BSTR string = SysAllocStringLen(nullptr, static_cast<UINT>(units));
  if (string == nullptr) return result;
  std::memcpy(string, wide.data(), units * sizeof(OLECHAR));
  V_VT(&result.variant_) = VT_BSTR;
  V_BSTR(&result.variant_) = string;
  return result;
}

AutomationValue AutomationValue::ByteArray(const Bytes& bytes) {
  AutomationValue result;
  if (bytes.size() > std::numeric_limits<LONG>::max()) return result;
  SAFEARRAY* array =
      SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr) return result;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return result;
  }
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  V_VT(&result.variant_) = VT_ARRAY | VT_UI1;
  V_ARRAY(&result.variant_) = array;
  return result;
}

std::int32_t AutomationValue::AsInt32() const {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&variant_), 0,
                               VT_I4))) {
    return 0;
  }
  return V_I4(&converted);
}

Text AutomationValue::AsText() const {
  if (V_VT(&variant_) != VT_BSTR) return Text();
  const BSTR string = V_BSTR(&variant_);
  const UINT units = SysStringLen(string);
  // The units and a terminating zero unit, as WideToText reads them.
  std::vector<std::uint8_t> wide((static_cast<std::size_t>(units) + 1) * 2, 0);
  if (units > 0) std::memcpy(wide.data(), string, units * sizeof(OLECHAR));
  return WideToText(Bytes(std::move(wide)), kCodePage936, true);
}

Bytes AutomationValue::AsBytes() const {
  if (V_VT(&variant_) != (VT_ARRAY | VT_UI1)) return Bytes();
  SAFEARRAY* array = V_ARRAY(&variant_);
  LONG lower = 0;
  LONG upper = -1;
  if (array == nullptr || SafeArrayGetDim(array) != 1 ||
      FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper)) || upper < lower) {
    return Bytes();
  }
  const auto count = static_cast<std::size_t>(
      static_cast<std::int64_t>(upper) - lower + 1);
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return Bytes();
  const auto* first = static_cast<const std::uint8_t*>(data);
  Bytes bytes(std::vector<std::uint8_t>(first, first + count));
  SafeArrayUnaccessData(array);
  return bytes;
}

AutomationObject::~AutomationObject() {
  if (object_ != nullptr) object_->Release();
}

HRESULT AutomationObject::Call(const wchar_t* member,
                               std::span<AutomationValue> arguments,
                               AutomationValue* result) {
  return Invoke(member, DISPATCH_METHOD, arguments, false, result);
}

HRESULT AutomationObject::Get(const wchar_t* member, AutomationValue& result) {
  return Invoke(member, DISPATCH_PROPERTYGET, {}, false, &result);
}

HRESULT AutomationObject::Put(const wchar_t* member,
                              std::span<AutomationValue> arguments) {
  return Invoke(member, DISPATCH_PROPERTYPUT, arguments, true, nullptr);
}

HRESULT AutomationObject::Invoke(const wchar_t* member, WORD kind,
                                 std::span<AutomationValue> arguments,
                                 bool namedValue, AutomationValue* result) {
  if (object_ == nullptr) return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
  HRESULT outcome =
      object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(outcome)) return outcome;

  // The call takes its arguments last first; they stay ours.
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
    reversed.push_back(it->variant());
  }
  DISPID propertyPut = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{};
  parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
  parameters.cArgs = static_cast<UINT>(reversed.size());
  if (namedValue) {
    parameters.rgdispidNamedArgs = &propertyPut;
    parameters.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT argumentError = 0;
  outcome = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind,
                            &parameters,
                            result != nullptr ? &result->variant() : nullptr,
                            &exception, &argumentError);
  ClearException(exception);
  return outcome;
}

}  // namespace tarnwick
