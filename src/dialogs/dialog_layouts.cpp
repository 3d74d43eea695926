#include "dialogs/dialog_layouts.h"

#include <iterator>
#include <stdexcept>

#include "forms/unit_names.h"
#include "store/prize_slots.h"

namespace zv {

using forms::EventKind;
using forms::FontDescription;
using forms::UnitDescription;
using forms::UnitKind;
using forms::WindowDescription;
namespace h = handlers;

namespace {

constexpr int kRowTops[4] = {28, 74, 120, 166};

UnitDescription label(std::string name, int left, int top, int width, int height,
                      std::string caption) {
  return {.name = std::move(name),
          .kind = UnitKind::Label,
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .caption = std::move(caption)};
}

UnitDescription box(UnitKind kind, std::string name, int left, int top, int width, int height) {
  return {.name = std::move(name),
          .kind = kind,
          .left = left,
          .top = top,
          .width = width,
          .height = height};
}

UnitDescription& unitNamed(WindowDescription& w, const std::string& name) {
  for (UnitDescription& unit : w.units) {
    if (unit.name == name) return unit;
  }
  throw std::logic_error("no unit " + name);
}

// The slots' picture boxes in two columns, each beside its edit box.
void addPrizeColumns(WindowDescription& w, int pictureLeft2, int editLeft1, int editLeft2,
                     int editWidth) {
  constexpr int kRows = std::size(kRowTops);
  static_assert(kSlotCount == 2 * kRows);
  for (int i = 1; i <= kSlotCount; ++i) {
    const bool second = i > kRows;
    const int top = kRowTops[(i - 1) % kRows];
    w.units.push_back(box(UnitKind::PictureBox, forms::pictureBoxName(i), second ? pictureLeft2 : 8,
                          top, 100, 40));
  }
  for (int i = 1; i <= kSlotCount; ++i) {
    const bool second = i > kRows;
    const int top = kRowTops[(i - 1) % kRows];
    w.units.push_back(box(UnitKind::EditBox, forms::editBoxName(i), second ? editLeft2 : editLeft1,
                          top, editWidth, 40));
  }
}

WindowDescription buildPrizeSettings() {
  WindowDescription w;
  w.caption = "设置";
  w.width = 564;
  w.height = 433;
  w.events = {{EventKind::Created, h::kPrizeSettingsCreated}};
  w.units.push_back(label("标签1", 4, 0, 104, 24, "对应奖品"));
  w.units.push_back(label("标签2", 115, 0, 157, 24, "中奖概率(奖品数量)"));
  w.units.push_back(label("标签5", 280, 0, 104, 24, "对应奖品"));
  w.units.push_back(label("标签6", 391, 0, 157, 24, "中奖概率(奖品数量)"));
  addPrizeColumns(w, 288, 115, 391, 157);
  // The edit boxes show the default prize values until the window reads the stored ones.
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    UnitDescription& unit = unitNamed(w, forms::editBoxName(slot));
    unit.caption = std::to_string(kDefaultPrizeValues[static_cast<std::size_t>(slot - 1)]);
    unit.font = FontDescription{"宋体", 20, true};
    unit.colour = forms::kNavy;
  }
  w.units.push_back({.name = "单选框1",
                     .kind = UnitKind::RadioButton,
                     .left = 103,
                     .top = 224,
                     .width = 150,
                     .height = 24,
                     .caption = "按奖品数量抽奖",
                     .events = {{EventKind::Click, h::kQuantityMode}}});
  w.units.push_back({.name = "单选框2",
                     .kind = UnitKind::RadioButton,
                     .left = 327,
                     .top = 224,
                     .width = 150,
                     .height = 24,
                     .caption = "按概率抽奖",
                     .events = {{EventKind::Click, h::kProbabilityMode}}});
  w.units.push_back({.name = "分组框1",
                     .kind = UnitKind::GroupBox,
                     .left = 7,
                     .top = 243,
                     .width = 537,
                     .height = 125,
                     .caption = "设置说明"});
  w.units.push_back(
      {.name = "标签3",
       .kind = UnitKind::Label,
       .parent = "分组框1",
       .left = 8,
       .top = 15,
       .width = 521,
       .height = 102,
       .caption =
           "1.按奖品数量抽奖：\r\n    选择按数量抽奖，就是把所有奖品(即：奖品数值之和)都放在"
           "一个盒子里，依次从里面往外拿，全部拿完抽奖结束；\r\n2.按概率抽奖：\r\n    选择按"
           "概率抽奖，就是把所有奖品(即：奖品数值之和)都放在一个盒子里，抽取时往外面拿出一个，"
           "然后再把这个奖品往盒子里补充一个，保持盒子里的奖品总量不变，等待下一次抽取。",
       .font = FontDescription{"宋体", 14, false}});
  w.units.push_back({.name = "按钮1",
                     .kind = UnitKind::Button,
                     .left = 223,
                     .top = 372,
                     .width = 112,
                     .height = 29,
                     .caption = "确定",
                     .font = FontDescription{"宋体", 16, false},
                     .events = {{EventKind::Click, h::kStorePrizeSettings}}});
  return w;
}

WindowDescription buildResults() {
  WindowDescription w;
  w.caption = "中奖结果";
  w.width = 484;
  w.height = 284;
  w.events = {{EventKind::Created, h::kResultsCreated}};
  const FontDescription heading{"宋体", 16, true};
  const struct {
    const char* name;
    int left;
    const char* caption;
    bool greyed;
  } headings[] = {{"标签1", 4, "奖品", false},
                  {"标签2", 115, "已中奖数量", true},
                  {"标签3", 248, "奖品", false},
                  {"标签4", 359, "已中奖数量", true}};
  for (const auto& hd : headings) {
    UnitDescription u = label(hd.name, hd.left, 0, 104, 24, hd.caption);
    u.font = heading;
    u.disabledLook = hd.greyed;
    w.units.push_back(u);
  }
  addPrizeColumns(w, 248, 124, 364, 100);
  for (auto& unit : w.units) {
    if (unit.kind != UnitKind::EditBox) continue;
    unit.caption = "0";
    // Read from across the room: the normal text colour, not the disabled grey.
    unit.readOnly = true;
    unit.font = FontDescription{"宋体", 20, true};
  }
  w.units.push_back({.name = "按钮1",
                     .kind = UnitKind::Button,
                     .left = 184,
                     .top = 216,
                     .width = 112,
                     .height = 29,
                     .caption = "清空中奖",
                     .font = FontDescription{"宋体", 16, false},
                     .events = {{EventKind::Click, h::kClearTallies}}});
  return w;
}

WindowDescription buildPassword() {
  WindowDescription w;
  w.caption = "密码设置！";
  w.width = 380;
  w.height = 180;
  w.events = {{EventKind::Created, h::kPasswordCreated}};
  w.units.push_back(label("标签1", 8, 24, 144, 32, "输入密码(初始密码为空)："));
  w.units.push_back({.name = "编辑框1",
                     .kind = UnitKind::EditBox,
                     .left = 160,
                     .top = 24,
                     .width = 192,
                     .height = 32,
                     .passwordEntry = true});
  w.units.push_back({.name = "按钮_登陆",
                     .kind = UnitKind::Button,
                     .left = 85,
                     .top = 80,
                     .width = 80,
                     .height = 32,
                     .caption = "进入设置",
                     .events = {{EventKind::Click, h::kEnterSettings}}});
  w.units.push_back({.name = "按钮_修改密码",
                     .kind = UnitKind::Button,
                     .left = 209,
                     .top = 80,
                     .width = 80,
                     .height = 32,
                     .caption = "修改密码",
                     .events = {{EventKind::Click, h::kChangePassword}}});
  return w;
}

}  // namespace

const WindowDescription& prizeSettingsLayout() {
  static const WindowDescription layout = buildPrizeSettings();
  return layout;
}

const WindowDescription& resultsLayout() {
  static const WindowDescription layout = buildResults();
  return layout;
}

const WindowDescription& passwordLayout() {
  static const WindowDescription layout = buildPassword();
  return layout;
}

}  // namespace zv
