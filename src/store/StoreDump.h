#pragma once
// Plain-text pictures of what a load built: one entry a line, indented two
// spaces per level. Used by the pivora-store tool and by the tests.
//
//   menu:  "caption" tag=T image=I [item=N] [hidden] [click=Handler]
//   tree:  "text" image=I selected=S state=X data=D
//   skip:  file:line: reason: text

#include <string>
#include <vector>

#include "model/MenuModel.h"
#include "store/StoreLoader.h"
#include "model/TreeModel.h"

namespace pv {

const char* ClickHandlerName(ClickHandler handler);
std::string DumpMenu(const MenuEntry& root);
std::string DumpTree(const TreeModel& tree);
std::string DumpSkipped(const std::vector<SkippedLine>& skipped);

}  // namespace pv
