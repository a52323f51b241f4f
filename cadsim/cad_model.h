#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace cadsim {

// One open drawing: its names, how many entities it holds and how many of them its selection
// set holds.
struct Drawing {
    std::wstring name;
    std::wstring fullName;
    int entityCount = 0;
    int selected = 0;
};

// The variant type in which the Application reports its main window handle.
enum class HwndType { i4, ui4, i8 };

// What the automation server answers from: the open drawings (the first one added becomes the
// active one), the busy state, the executable path it reports, and the members that the tests
// make fail or answer with a result of the wrong type ("Object.Member").
class CadModel {
  public:
    void AddDrawing(Drawing drawing);
    void ClearDrawings();
    std::size_t DrawingCount() const { return drawings_.size(); }
    std::shared_ptr<Drawing> DrawingAt(std::size_t index) const;  // none when out of range
    std::shared_ptr<Drawing> ActiveDrawing() const { return active_.lock(); }
    bool IsOpen(const std::shared_ptr<Drawing>& drawing) const;
    bool Activate(const std::shared_ptr<Drawing>& drawing);  // false when it is not open
    bool ActivateAt(std::size_t index);

    bool busy = false;
    std::wstring applicationPath;
    HwndType hwndType = HwndType::i8;
    std::set<std::wstring> failing;
    std::set<std::wstring> wrongType;

  private:
    std::vector<std::shared_ptr<Drawing>> drawings_;
    std::weak_ptr<Drawing> active_;
};

}  // namespace cadsim
