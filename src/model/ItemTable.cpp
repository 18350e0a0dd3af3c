#include "model/ItemTable.h"

namespace pv {

void ItemTable::Clear() {
    paths.Clear();
    paramNumbers.Clear();
    paramValues.Clear();
    extensions.Clear();
    nextItemNumber = 0;
    unreadableIndexFiles.clear();
}

std::string ItemTable::FindItemParams(int number) const {
    const int i = paramNumbers.IndexOf(std::to_string(number));
    if (i < 0 || i >= paramValues.Length()) return std::string();
    return paramValues[i];
}

void ItemTable::SetItemParams(int number, const std::string& params) {
    const int i = paramNumbers.IndexOf(std::to_string(number));
    if (i < 0 || i >= paramValues.Length()) return;
    paramValues.Set(i, params);
}

bool ItemTable::HasParams(int number) const {
    const int i = paramNumbers.IndexOf(std::to_string(number));
    return i >= 0 && i < paramValues.Length();
}

int ItemTable::CopyItem(int number) {
    const std::string path = PathOf(number);
    return HasParams(number) ? AddProgramLink(path, FindItemParams(number)) : AddOtherLink(path);
}

int ItemTable::AddProgramLink(const std::string& path, const std::string& params) {
    const int number = nextItemNumber++;
    paths.Append(path);
    paramNumbers.Append(std::to_string(number));
    paramValues.Append(params);
    return number;
}

int ItemTable::AddOtherLink(const std::string& path) {
    const int number = nextItemNumber++;
    paths.Append(path);
    return number;
}

std::string ItemTable::PathOf(int number) const {
    if (number < 0 || number >= paths.Length()) return std::string();
    return paths[number];
}

}  // namespace pv
