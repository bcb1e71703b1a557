#include "dialogs/list_view.h"

#include <algorithm>
#include <numeric>

#include "dialogs/dialog_template.h"

namespace platform {

int CompareIgnoreCase(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : static_cast<unsigned char>(c); };
    const int difference = lower(a[i]) - lower(b[i]);
    if (difference != 0) return difference;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int ListView::InsertColumn(int index, std::string heading, int width, ColumnAlign align) {
  if (index < 0) return -1;
  index = std::min(index, ColumnCount());
  columns_.insert(columns_.begin() + index, Column{std::move(heading), width, align});
  for (Row& row : rows_) {
    if (index > 0 && static_cast<int>(row.texts.size()) > index) row.texts.insert(row.texts.begin() + index, std::string());
  }
  Changed();
  return index;
}

const ListView::Column* ListView::ColumnAt(int index) const {
  return index >= 0 && index < ColumnCount() ? &columns_[index] : nullptr;
}

int ListView::SortedPosition(std::string_view label) const {
  auto greater = std::find_if(rows_.begin(), rows_.end(),
                              [&](const Row& row) { return CompareIgnoreCase(row.texts[0], label) > 0; });
  return static_cast<int>(greater - rows_.begin());
}

int ListView::InsertItem(int index, std::string label) {
  if (index < 0) return -1;
  index = (style_ & kListSortAscending) ? SortedPosition(label) : std::min(index, ItemCount());
  Row row;
  row.texts.push_back(std::move(label));
  rows_.insert(rows_.begin() + index, std::move(row));
  Changed();
  return index;
}

bool ListView::SetItemText(int row, int column, std::string text) {
  if (!HasRow(row) || column < 0 || (column > 0 && column >= ColumnCount())) return false;
  std::vector<std::string>& texts = rows_[row].texts;
  if (static_cast<int>(texts.size()) <= column) texts.resize(column + 1);
  texts[column] = std::move(text);
  Changed();
  return true;
}

std::string ListView::ItemText(int row, int column) const {
  if (!HasRow(row) || column < 0 || column >= static_cast<int>(rows_[row].texts.size())) return {};
  return rows_[row].texts[column];
}

bool ListView::DeleteItem(int row) {
  if (!HasRow(row)) return false;
  rows_.erase(rows_.begin() + row);
  Changed();
  return true;
}

void ListView::DeleteAllItems() {
  rows_.clear();
  Changed();
}

bool ListView::SetItemData(int row, std::intptr_t data) {
  if (!HasRow(row)) return false;
  rows_[row].data = data;
  return true;
}

std::intptr_t ListView::ItemData(int row) const { return HasRow(row) ? rows_[row].data : 0; }

bool ListView::SetSelected(int row, bool selected) {
  if (!HasRow(row)) return false;
  if (selected && (style_ & kListSingleSelection)) {
    for (Row& other : rows_) other.selected = false;
  }
  rows_[row].selected = selected;
  Changed();
  return true;
}

bool ListView::IsSelected(int row) const { return HasRow(row) && rows_[row].selected; }

int ListView::SelectedCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.selected; }));
}

int ListView::NextSelected(int after) const {
  for (int row = std::max(after + 1, 0); row < ItemCount(); ++row) {
    if (rows_[row].selected) return row;
  }
  return -1;
}

int ListView::FindItem(std::string_view label, int after) const {
  for (int row = std::max(after + 1, 0); row < ItemCount(); ++row) {
    if (CompareIgnoreCase(rows_[row].texts[0], label) == 0) return row;
  }
  return -1;
}

int ListView::FindItemByData(std::intptr_t data, int after) const {
  for (int row = std::max(after + 1, 0); row < ItemCount(); ++row) {
    if (rows_[row].data == data) return row;
  }
  return -1;
}

void ListView::SortItems(const Compare& compare) {
  std::vector<std::size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return compare(rows_[a].data, rows_[b].data) < 0; });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (std::size_t index : order) sorted.push_back(std::move(rows_[index]));
  rows_ = std::move(sorted);
  Changed();
}

bool ListView::OnColumnClick(int) { return false; }

void ListView::Attach(std::uint32_t style, int clientWidth, std::function<void()> changed) {
  columns_.clear();
  rows_.clear();
  style_ = style;
  clientWidth_ = clientWidth;
  changed_ = std::move(changed);
}

void ListView::Detach() { changed_ = nullptr; }

void ListView::Changed() const {
  if (changed_) changed_();
}

}  // namespace platform
