#include "app/windows/main_window.h"

#include <utility>

#include "app/windows/resource_ids.h"
#include "app/windows/wide_text.h"

namespace tarnwick {
namespace {

constexpr wchar_t kWindowClass[] = L"TarnwickMainWindow";
constexpr DWORD kFrameStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Control identifiers start above those of the dialog keys (IDOK, IDCANCEL).
constexpr int kFirstControlId = 100;

// The resource of an icon named in a description; 0 for an unknown name.
int IconResource(std::string_view name) {
  if (name == "tarnwick.ico") return TARNWICK_ICON_APPLICATION;
  if (name == "picture.ico") return TARNWICK_ICON_PICTURE;
  return 0;
}

// The icon `name` at `size` x `size` pixels, or at its own size for 0.
HICON LoadIconResource(HINSTANCE instance, std::string_view name, int size) {
  const int resource = IconResource(name);
  if (resource == 0) return nullptr;
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resource),
                                       IMAGE_ICON, size, size, LR_SHARED));
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0 ||
         GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD extendedStyle;
};

ControlClass ClassOf(const ControlDescription& control, bool firstRadioButton) {
  switch (control.kind) {
    case ControlKind::kLabel:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
    case ControlKind::kRadioButton:
      return {L"BUTTON",
              static_cast<DWORD>(BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER |
                                 WS_TABSTOP | (firstRadioButton ? WS_GROUP : 0)),
              0};
    case ControlKind::kEditBox:
      return {L"EDIT",
              static_cast<DWORD>(ES_LEFT | WS_TABSTOP | WS_GROUP |
                                 (control.multiLine ? ES_MULTILINE | ES_WANTRETURN |
                                                          ES_AUTOVSCROLL
                                                    : ES_AUTOHSCROLL)),
              WS_EX_CLIENTEDGE};
    case ControlKind::kPushButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::kPictureBox:
      return {L"STATIC", SS_OWNERDRAW | WS_GROUP, 0};
  }
  return {L"STATIC", WS_GROUP, 0};
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width &&
         a.top < b.top + b.height && b.top < a.top + a.height;
}

// Cuts control `index` back to what the controls created after it leave
// free, so that they lie on top of it.
void ClipToLaterControls(const std::vector<ControlDescription>& controls,
                         std::size_t index, HWND handle) {
  const Rect& place = controls[index].place;
  HRGN visible = nullptr;
  for (std::size_t later = index + 1; later < controls.size(); ++later) {
    const Rect& other = controls[later].place;
    if (!Overlap(place, other)) continue;
    if (visible == nullptr) {
      visible = CreateRectRgn(0, 0, place.width, place.height);
      if (visible == nullptr) return;
    }
    HRGN covered = CreateRectRgn(other.left - place.left, other.top - place.top,
                                 other.left - place.left + other.width,
                                 other.top - place.top + other.height);
    if (covered == nullptr) continue;
    CombineRgn(visible, visible, covered, RGN_DIFF);
    DeleteObject(covered);
  }
  // The window owns the region from here on.
  if (visible != nullptr && SetWindowRgn(handle, visible, FALSE) == 0) {
    DeleteObject(visible);
  }
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create(
    const WindowDescription& description, HINSTANCE instance) {
  if (!RegisterWindowClass(instance, &MainWindow::WindowProcedure)) {
    return nullptr;
  }
  std::unique_ptr<MainWindow> window(new MainWindow(description));
  const Point position = CentredFramePosition(
      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
      description.frame.width, description.frame.height);
  const std::wstring title = TextToWideString(description.title);
  // WM_NCCREATE ties the window to its object.
  if (CreateWindowExW(0, kWindowClass, title.c_str(), kFrameStyle, position.x,
                      position.y, description.frame.width,
                      description.frame.height, nullptr, nullptr, instance,
                      window.get()) == nullptr) {
    return nullptr;
  }
  SendMessageW(window->window_, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconResource(
                   instance, description.icon, GetSystemMetrics(SM_CXICON))));
  SendMessageW(window->window_, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconResource(
                   instance, description.icon, GetSystemMetrics(SM_CXSMICON))));
  if (!window->CreateControls(instance)) return nullptr;
  return window;
}

MainWindow::~MainWindow() {
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

bool MainWindow::CreateControls(HINSTANCE instance) {
  const std::vector<ControlDescription>& controls = description_.controls;
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  bool radioButtonSeen = false;
  controls_.reserve(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlDescription& control = controls[i];
    const bool radioButton = control.kind == ControlKind::kRadioButton;
    const ControlClass controlClass = ClassOf(control, radioButton && !radioButtonSeen);
    radioButtonSeen = radioButtonSeen || radioButton;
    const std::wstring text = control.kind == ControlKind::kPictureBox
                                  ? std::wstring()
                                  : TextToWideString(control.text);
    HWND handle = CreateWindowExW(
        controlClass.extendedStyle, controlClass.name, text.c_str(),
        controlClass.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
        control.place.left, control.place.top, control.place.width,
        control.place.height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)),
        instance, nullptr);
    if (handle == nullptr) return false;
    ControlEntry entry{&control, handle, nullptr};
    SendMessageW(handle, WM_SETFONT, font, FALSE);
    switch (control.kind) {
      case ControlKind::kRadioButton:
        SendMessageW(handle, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case ControlKind::kEditBox:
        // No limit of its own: the platform's largest.
        SendMessageW(handle, EM_SETLIMITTEXT, 0, 0);
        break;
      case ControlKind::kPictureBox:
        entry.picture = LoadIconResource(instance, control.picture, 0);
        break;
      default:
        break;
    }
    ClipToLaterControls(controls, i, handle);
    controls_.push_back(entry);
  }
  if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) lastFocus_ = first;
  return true;
}

const MainWindow::ControlEntry* MainWindow::Find(std::string_view name) const {
  for (const ControlEntry& entry : controls_) {
    if (entry.description->name == name) return &entry;
  }
  return nullptr;
}

HWND MainWindow::Control(std::string_view name) const {
  const ControlEntry* entry = Find(name);
  return entry == nullptr ? nullptr : entry->handle;
}

Text MainWindow::GetControlText(std::string_view control) {
  const ControlEntry* entry = Find(control);
  if (entry == nullptr) return Text();
  return WideStringToText(WindowText(entry->handle));
}

bool MainWindow::IsChecked(std::string_view control) {
  const ControlEntry* entry = Find(control);
  return entry != nullptr &&
         entry->description->kind == ControlKind::kRadioButton &&
         SendMessageW(entry->handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetControlText(std::string_view control, const Text& text) {
  const ControlEntry* entry = Find(control);
  if (entry == nullptr || entry->description->kind == ControlKind::kPictureBox) {
    return;
  }
  SetWindowTextW(entry->handle, TextToWideString(text).c_str());
}

void MainWindow::ShowMessageBox(const Text& text, const Text& title) {
  MessageBoxW(nullptr, TextToWideString(text).c_str(),
              TextToWideString(title).c_str(), MB_OK | MB_TASKMODAL);
}

void MainWindow::EndProcess(std::int32_t exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message,
                                             WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self =
      reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const auto index = static_cast<std::size_t>(LOWORD(wParam)) - kFirstControlId;
      if (HIWORD(wParam) != BN_CLICKED || LOWORD(wParam) < kFirstControlId ||
          index >= controls_.size()) {
        break;
      }
      const ControlDescription& control = *controls_[index].description;
      if (control.kind != ControlKind::kPushButton || control.onClick == nullptr) {
        break;
      }
      if (handlerRunning_) {
        deferred_.push_back({message, wParam, lParam});
        return 0;
      }
      RunClickHandler(control.onClick);
      return 0;
    }
    case WM_CLOSE:
      if (handlerRunning_) {
        deferred_.push_back({message, wParam, lParam});
        return 0;
      }
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT: {
      // Black on white, whatever the system's colours.
      HDC context = reinterpret_cast<HDC>(wParam);
      SetTextColor(context, RGB(0, 0, 0));
      SetBkColor(context, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const auto index = static_cast<std::size_t>(item->CtlID) - kFirstControlId;
      if (item->CtlType != ODT_STATIC || item->CtlID < kFirstControlId ||
          index >= controls_.size()) {
        break;
      }
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
      if (controls_[index].picture != nullptr) {
        DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top,
                   controls_[index].picture, 0, 0, 0, nullptr, DI_NORMAL);
      }
      return TRUE;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::RunClickHandler(ClickHandler handler) {
  handlerRunning_ = true;
  handler(*this);
  handlerRunning_ = false;
  // What came in meanwhile is handled now, in order.
  std::vector<DeferredMessage> deferred = std::move(deferred_);
  deferred_.clear();
  if (window_ == nullptr) return;
  for (const DeferredMessage& message : deferred) {
    PostMessageW(window_, message.message, message.wParam, message.lParam);
  }
}

}  // namespace tarnwick
