// Renders a ui::Form into real child windows of a host window: STATIC windows for labels
// (coloured through WM_CTLCOLORSTATIC), BUTTON windows for group boxes, buttons, radio buttons
// and check boxes, COMBOBOX drop-down lists, EDIT windows, spin edits as a read-only EDIT with
// an up-down control, and a custom-painted panel class for panels; shapes, bevels and pictures
// are painted here. Containers pass their children's WM_COMMAND and WM_NOTIFY to the host.
// Texts stay Windows-1252 in the model and are converted explicitly to UTF-16 when set.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/Form.h"

namespace pelmora::ui {

class FormRenderer {
 public:
  FormRenderer(Form& form, HWND host, HINSTANCE instance);
  ~FormRenderer();
  FormRenderer(const FormRenderer&) = delete;
  FormRenderer& operator=(const FormRenderer&) = delete;

  // Creates the child windows; call once from the host's WM_CREATE.
  void Create();
  // Writes every dirty control and menu item to its window.
  void Apply();
  // Apply, then paint the whole host window at once.
  void RepaintNow();
  // The menu bar built from the form's menus, with shortcut texts.
  HMENU BuildMenuBar();
  // Accelerators for the menu shortcuts plus F12 with any modifiers for nextViewCommand, plus
  // Ctrl with each (virtual key, command) of ctrlKeys.
  HACCEL BuildAccelerators(int nextViewCommand,
                           const std::vector<std::pair<int, int>>& ctrlKeys = {});

  // Messages a host or container receives on behalf of the controls.
  HBRUSH OnCtlColorStatic(HDC dc, HWND child);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  HWND WindowOf(const Control& control) const;
  Control* ControlOf(HWND hwnd) const;
  // The spin edit whose arrows (the up-down window) these are; none for another window.
  Control* SpinEditOfArrows(HWND arrows) const;
  // An edit's text as the user typed it, into the model (EN_CHANGE).
  void ReadText(HWND hwnd);

 private:
  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // Messages that containers pass on: colours, owner drawing and commands.
  bool ContainerMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  void CreateWindowFor(Control& control, bool group);
  void SubclassGroupBox(HWND box);
  void AttachSpinArrows(Control& spinEdit, HWND edit, const Rect& bounds, HWND parent);
  void ApplyControl(Control& control);
  void ApplyItems(HWND hwnd, const Control& list);
  HWND ArrowsOf(const Control& spinEdit) const;
  void PaintPanel(HWND hwnd, HDC dc, const Control& panel);
  void PaintGroupBox(HWND hwnd, HDC dc, const Control& box);
  void PaintShapes(HDC dc, const Control& container);
  void PaintCaption(HDC dc, const Control& control, RECT rc, UINT format);
  SIZE MeasureText(const Control& label);
  HFONT FontFor(const Font& font);
  HBRUSH BrushFor(COLORREF colour);
  HWND ParentWindow(const Control& control) const;

  Form& form_;
  HWND host_;
  HINSTANCE instance_;
  std::map<const Control*, HWND> windows_;
  std::map<HWND, Control*> controls_;
  std::map<const Control*, std::string> shownText_;
  std::map<const Control*, Font> shownFont_;
  std::map<const Control*, std::vector<std::string>> shownItems_;
  std::map<const Control*, HWND> spinArrows_;
  std::map<HWND, Control*> arrowsOf_;
  std::map<std::string, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
};

// A button's 16 x 16 picture with its top-left corner at x, y; the grey version when disabled.
void DrawButtonPicture(HDC dc, Picture picture, int x, int y, bool enabled);
// COLORREF of a model colour (the system window-text colour resolved now).
COLORREF ToColorRef(const Color& color);
std::wstring ToWide(const std::string& cp1252);

}  // namespace pelmora::ui
