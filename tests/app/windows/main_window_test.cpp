// The Win32 main window, built from the program's own description (and, for
// the click handling, from a small one of the test's), with the program's
// resources linked in.
#include "app/windows/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_names.h"
#include "app/main_window_description.h"
#include "text_printers.h"

namespace tarnwick {
namespace {

RECT PlaceInClient(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool Has(HWND window, LONG_PTR bits) {
  return (GetWindowLongPtrW(window, GWL_STYLE) & bits) == bits;
}

bool HasAny(HWND window, LONG_PTR bits) {
  return (GetWindowLongPtrW(window, GWL_STYLE) & bits) != 0;
}

// Handles what is queued; true when the end of the loop was among it.
bool PumpMessages() {
  bool quit = false;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return quit;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = MainWindow::Create(MainWindowDescription(), GetModuleHandleW(nullptr));
    ASSERT_NE(window_, nullptr);
  }

  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, FrameIsFixedCentredAndAsDescribed) {
  const HWND frame = window_->handle();
  RECT outer;
  GetWindowRect(frame, &outer);
  EXPECT_EQ(outer.right - outer.left, 475);
  EXPECT_EQ(outer.bottom - outer.top, 208);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 475) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 208) / 2);

  EXPECT_TRUE(Has(frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
  EXPECT_FALSE(HasAny(frame, WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD));
  wchar_t title[64] = {};
  GetWindowTextW(frame, title, 64);
  EXPECT_STREQ(title, L"Tarnwick v1.0   by Ormelin@Kestrova");
  EXPECT_EQ(GetClassLongPtrW(frame, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_NE(SendMessageW(frame, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(frame, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(MainWindowTest, ControlsArePlacedAndStyledAsDescribed) {
  const HGDIOBJ guiFont = GetStockObject(DEFAULT_GUI_FONT);
  bool radioButtonSeen = false;
  bool afterRadioButtons = false;
  for (const ControlDescription& control : MainWindowDescription().controls) {
    SCOPED_TRACE(std::string(control.name));
    const HWND handle = window_->Control(control.name);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetParent(handle), window_->handle());
    const RECT place = PlaceInClient(handle);
    EXPECT_EQ(place.left, control.place.left);
    EXPECT_EQ(place.top, control.place.top);
    EXPECT_EQ(place.right - place.left, control.place.width);
    EXPECT_EQ(place.bottom - place.top, control.place.height);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(handle, WM_GETFONT, 0, 0)), guiFont);
    EXPECT_TRUE(Has(handle, WS_VISIBLE));
    EXPECT_TRUE(IsWindowEnabled(handle));

    const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
    const LONG_PTR extended = GetWindowLongPtrW(handle, GWL_EXSTYLE);
    switch (control.kind) {
      case ControlKind::kLabel:
        EXPECT_EQ(ClassName(handle), L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
        EXPECT_FALSE(HasAny(handle, WS_BORDER));
        break;
      case ControlKind::kRadioButton:
        EXPECT_EQ(ClassName(handle), L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
        EXPECT_FALSE(HasAny(handle, BS_PUSHLIKE | BS_FLAT | BS_LEFTTEXT));
        // One group: it starts at the first radio button.
        EXPECT_EQ(HasAny(handle, WS_GROUP), !radioButtonSeen);
        radioButtonSeen = true;
        break;
      case ControlKind::kEditBox:
        EXPECT_EQ(ClassName(handle), L"Edit");
        EXPECT_TRUE(extended & WS_EX_CLIENTEDGE);
        EXPECT_FALSE(HasAny(handle, WS_HSCROLL | WS_VSCROLL | ES_PASSWORD | ES_UPPERCASE |
                                        ES_LOWERCASE | ES_NOHIDESEL | ES_READONLY));
        if (control.multiLine) {
          EXPECT_TRUE(Has(handle, ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL));
          EXPECT_FALSE(HasAny(handle, ES_AUTOHSCROLL));  // long lines wrap
        } else {
          EXPECT_TRUE(Has(handle, ES_AUTOHSCROLL));
          EXPECT_FALSE(HasAny(handle, ES_MULTILINE));
        }
        EXPECT_GT(SendMessageW(handle, EM_GETLIMITTEXT, 0, 0), 0x7FFF0000);
        break;
      case ControlKind::kPushButton:
        EXPECT_EQ(ClassName(handle), L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        break;
      case ControlKind::kPictureBox:
        EXPECT_EQ(ClassName(handle), L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, SS_OWNERDRAW);
        EXPECT_FALSE(HasAny(handle, WS_BORDER));
        break;
    }
    const bool radioButton = control.kind == ControlKind::kRadioButton;
    if (afterRadioButtons && !radioButton) {
      EXPECT_TRUE(HasAny(handle, WS_GROUP));  // ends the radio buttons' group
    }
    afterRadioButtons = radioButton;
  }
}

TEST_F(MainWindowTest, OperationsReadTheInitialContent) {
  for (const ControlDescription& control : MainWindowDescription().controls) {
    SCOPED_TRACE(std::string(control.name));
    const Text expected = control.kind == ControlKind::kPictureBox ? Text() : control.text;
    EXPECT_EQ(window_->GetControlText(control.name), expected);
    EXPECT_EQ(window_->IsChecked(control.name), control.checked);
  }
  EXPECT_TRUE(window_->IsChecked(kRadioButton1));
  EXPECT_EQ(window_->GetControlText(kEditBox1), Text());
  EXPECT_EQ(window_->GetControlText("no such control"), Text());
  EXPECT_FALSE(window_->IsChecked("no such control"));
}

TEST_F(MainWindowTest, SetControlTextReplacesTheWholeText) {
  const Text output = "\xC7\xA7\xCD\xBC\xCD\xF8\xA3\xBA\r\n\r\nline 3";
  window_->SetControlText(kEditBox2, output);
  wchar_t shown[64] = {};
  GetWindowTextW(window_->Control(kEditBox2), shown, 64);
  EXPECT_STREQ(shown, L"\u5343\u56FE\u7F51\uFF1A\r\n\r\nline 3");
  EXPECT_EQ(SendMessageW(window_->Control(kEditBox2), EM_GETLINECOUNT, 0, 0), 3);
  EXPECT_EQ(window_->GetControlText(kEditBox2), output);

  window_->SetControlText(kEditBox2, Text());
  EXPECT_EQ(window_->GetControlText(kEditBox2), Text());

  // What the user types that code page 936 lacks reads back as "?".
  SetWindowTextW(window_->Control(kEditBox1), L"a\u0E01");
  EXPECT_EQ(window_->GetControlText(kEditBox1), Text("a?"));

  window_->SetControlText(kPictureBox1, "ignored");
  window_->SetControlText("no such control", "ignored");
  EXPECT_EQ(window_->GetControlText(kPictureBox1), Text());
}

TEST_F(MainWindowTest, RadioButtonsFormOneGroup) {
  SendMessageW(window_->Control(kRadioButton3), BM_CLICK, 0, 0);
  EXPECT_FALSE(window_->IsChecked(kRadioButton1));
  EXPECT_FALSE(window_->IsChecked(kRadioButton2));
  EXPECT_TRUE(window_->IsChecked(kRadioButton3));

  SendMessageW(window_->Control(kRadioButton3), BM_CLICK, 0, 0);
  EXPECT_TRUE(window_->IsChecked(kRadioButton3));

  SendMessageW(window_->Control(kRadioButton2), BM_CLICK, 0, 0);
  EXPECT_FALSE(window_->IsChecked(kRadioButton1));
  EXPECT_TRUE(window_->IsChecked(kRadioButton2));
  EXPECT_FALSE(window_->IsChecked(kRadioButton3));
}

TEST_F(MainWindowTest, LaterControlLiesOnTopWhereTheyOverlap) {
  const HWND frame = window_->handle();
  ShowWindow(frame, SW_SHOWNOACTIVATE);
  UpdateWindow(frame);
  // What a click at a point of the client area reaches.
  const auto controlAt = [frame](int x, int y) {
    POINT point{x, y};
    ClientToScreen(frame, &point);
    return WindowFromPoint(point);
  };
  // 单选框1 spans 280-360, 单选框2 336-416 and 单选框3 392-472.
  EXPECT_EQ(controlAt(300, 12), window_->Control(kRadioButton1));
  EXPECT_EQ(controlAt(340, 12), window_->Control(kRadioButton2));
  EXPECT_EQ(controlAt(400, 12), window_->Control(kRadioButton3));
  // A label lets clicks through to the window.
  EXPECT_EQ(controlAt(200, 12), frame);

  // 单选框1 is cut back to 280-336, 单选框2 to 336-392.
  RECT visible;
  ASSERT_EQ(GetWindowRgnBox(window_->Control(kRadioButton1), &visible), SIMPLEREGION);
  EXPECT_EQ(visible.right, 56);
  ASSERT_EQ(GetWindowRgnBox(window_->Control(kRadioButton2), &visible), SIMPLEREGION);
  EXPECT_EQ(visible.right, 56);
  EXPECT_EQ(GetWindowRgnBox(window_->Control(kRadioButton3), &visible), ERROR);
}

TEST_F(MainWindowTest, PictureIsDrawnAtItsNaturalSizeInTheTopLeftCorner) {
  const HWND picture = window_->Control(kPictureBox1);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 72, 56);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  RECT all{0, 0, 72, 56};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(picture));
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = picture;
  item.hDC = memory;
  item.rcItem = all;
  EXPECT_EQ(SendMessageW(window_->handle(), WM_DRAWITEM, item.CtlID,
                         reinterpret_cast<LPARAM>(&item)),
            TRUE);

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int iconPixels = 0;
  for (int y = 0; y < 56; ++y) {
    for (int x = 0; x < 72; ++x) {
      const COLORREF pixel = GetPixel(memory, x, y);
      if (x >= 48 || y >= 48) {
        ASSERT_EQ(pixel, face) << x << ", " << y;
      } else if (pixel != face) {
        ++iconPixels;
      }
    }
  }
  EXPECT_GT(iconPixels, 48 * 48 / 4);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

// Click handling, with a window of the test's own.
int clicks = 0;
HWND clickedWindow = nullptr;

void PumpWhileHandling(WindowOperations&) {
  ++clicks;
  if (clicks > 1) return;
  const HWND button = GetDlgItem(clickedWindow, 100);
  // A click and a close arriving while the handler waits, pumping messages
  // as the platform's request object does.
  SendMessageW(button, BM_CLICK, 0, 0);
  PostMessageW(clickedWindow, WM_CLOSE, 0, 0);
  EXPECT_FALSE(PumpMessages());
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(IsWindow(clickedWindow));
}

TEST(MainWindowClickTest, HandlerRunsToCompletionBeforeTheNextClickOrClose) {
  WindowDescription description;
  description.title = "click";
  description.frame = {0, 0, 200, 100};
  description.controls = {{.kind = ControlKind::kPushButton,
                           .name = kResolveButton,
                           .place = {0, 0, 50, 20},
                           .text = "go",
                           .picture = {},
                           .onClick = &PumpWhileHandling}};
  std::unique_ptr<MainWindow> window =
      MainWindow::Create(description, GetModuleHandleW(nullptr));
  ASSERT_NE(window, nullptr);
  clickedWindow = window->handle();
  ASSERT_EQ(GetDlgItem(clickedWindow, 100), window->Control(kResolveButton));

  SendMessageW(window->Control(kResolveButton), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  // Afterwards the click and then the close are handled, in order; the
  // close ends the message loop.
  EXPECT_TRUE(PumpMessages());
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(IsWindow(clickedWindow));
  EXPECT_EQ(window->handle(), nullptr);
}

}  // namespace
}  // namespace tarnwick
