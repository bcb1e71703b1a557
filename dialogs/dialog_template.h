#pragma once
// Dialog templates: the layout of a dialog in dialog units, as a resource
// describes it. One dialog unit is a quarter of the average character width
// across and an eighth of the character height down.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class ControlClass {
  Static,
  Edit,
  CheckBox,  // automatic two-state
  GroupBox,
  PushButton,
  DefaultPushButton,
  ListView,  // report style
};

// Style bits of a control; only those that matter to the class apply.
enum ControlStyle : std::uint32_t {
  kStyleNone = 0,
  kStyleDisabled = 1u << 0,        // starts disabled
  kEditAutoHScroll = 1u << 1,      // text may grow wider than the field
  kEditCentered = 1u << 2,         // text centred in the field
  kCheckMultiline = 1u << 3,       // check box text wraps over several lines
  kListSortAscending = 1u << 4,    // rows kept sorted by label on insertion
  kListSingleSelection = 1u << 5,  // at most one selected row
  kListBorder = 1u << 6,
};

struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Id of a control that is never addressed by id (a plain group box, a label).
constexpr int kNoControlId = -1;

struct ControlTemplate {
  int id = kNoControlId;
  ControlClass controlClass = ControlClass::Static;
  std::uint32_t style = kStyleNone;
  DialogRect rect;  // dialog units
  std::string text;
};

// Controls are listed in tab order.
struct DialogTemplate {
  int resourceId = 0;
  std::string caption;
  std::string fontName;
  int fontPointSize = 8;
  int width = 0;  // dialog units
  int height = 0;
  bool systemMenu = true;
  std::vector<ControlTemplate> controls;
};

// The pixel size of one average character, from which dialog units follow.
struct DialogBaseUnits {
  int charWidth = 6;
  int charHeight = 13;

  int ToPixelsX(int dialogUnits) const { return dialogUnits * charWidth / 4; }
  int ToPixelsY(int dialogUnits) const { return dialogUnits * charHeight / 8; }
  DialogRect ToPixels(const DialogRect& rect) const {
    return {ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width), ToPixelsY(rect.height)};
  }
};

}  // namespace platform
