#pragma once
// The report-style list view: columns with headers, rows of texts with item
// data, several rows selectable, optionally kept sorted by label on insertion.
// A dialog binds one object to its list view control; the object outlives the
// windows and is emptied each time a window is made for it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ListView {
 public:
  enum class ColumnAlign { Left, Right, Center };

  struct Column {
    std::string heading;
    int width = 0;  // pixels
    ColumnAlign align = ColumnAlign::Left;
  };

  struct Row {
    std::vector<std::string> texts;  // texts[0] is the label
    std::intptr_t data = 0;
    bool selected = false;
  };

  // Negative, zero or positive as the row with the first data comes before,
  // with or after the row with the second.
  using Compare = std::function<int(std::intptr_t, std::intptr_t)>;

  ListView() = default;
  virtual ~ListView() = default;
  ListView(const ListView&) = delete;
  ListView& operator=(const ListView&) = delete;

  // Index of the new column, or -1.
  int InsertColumn(int index, std::string heading, int width, ColumnAlign align = ColumnAlign::Left);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  const Column* ColumnAt(int index) const;
  // Width inside the border, in pixels.
  int ClientWidth() const { return clientWidth_; }

  // Inserts a row at index (clamped to the row count), or where its label
  // belongs when the list keeps itself sorted. Returns the row's index.
  int InsertItem(int index, std::string label);
  // Column 0 is the label; false for a missing row or column.
  bool SetItemText(int row, int column, std::string text);
  std::string ItemText(int row, int column) const;
  bool DeleteItem(int row);
  void DeleteAllItems();
  int ItemCount() const { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& Rows() const { return rows_; }

  bool SetItemData(int row, std::intptr_t data);
  std::intptr_t ItemData(int row) const;

  bool SetSelected(int row, bool selected);
  bool IsSelected(int row) const;
  int SelectedCount() const;
  // The first selected row after the given one (-1: from the top), or -1.
  int NextSelected(int after = -1) const;

  // The first row after the given one (-1: from the top) whose whole label
  // equals label without regard to letter case, or -1.
  int FindItem(std::string_view label, int after = -1) const;
  // The first row after the given one whose item data equals data, or -1.
  int FindItemByData(std::intptr_t data, int after = -1) const;

  // Sorts the rows with compare over their item data. The rows stay where they
  // are until the order is known, so compare may look rows up by their data.
  void SortItems(const Compare& compare);

  // The header's column-click notification, reflected to the list itself.
  // True when handled; the base class leaves it unhandled.
  virtual bool OnColumnClick(int column);

  // For the dialog: a new window shows this list, empty, with the style's
  // behaviours; changed runs after every change. Detach when the window goes.
  void Attach(std::uint32_t style, int clientWidth, std::function<void()> changed);
  void Detach();

 private:
  bool HasRow(int row) const { return row >= 0 && row < ItemCount(); }
  int SortedPosition(std::string_view label) const;
  void Changed() const;

  std::vector<Column> columns_;
  std::vector<Row> rows_;
  std::uint32_t style_ = 0;
  int clientWidth_ = 0;
  std::function<void()> changed_;
};

// Compares ASCII text with letters folded to lower case: <0, 0 or >0.
int CompareIgnoreCase(std::string_view a, std::string_view b);

}  // namespace platform
