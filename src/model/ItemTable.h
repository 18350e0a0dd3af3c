#pragma once
// The item table: what a link entry needs at launch time, looked up by its item
// number. Lives as long as the program; emptied only before a full reload.

#include <string>
#include <vector>

#include "support/UkvSysDeclars.h"

namespace pv {

class ItemTable {
public:
    // Entry i is the target path of the link with item number i.
    TkvDynStringArray paths;
    // Pairs (item number as decimal text, parameters) of program links. Lookups go
    // through the first-occurrence index of paramNumbers, so they take constant time
    // and find the same pair a scan from the top would.
    TkvDynStringArray paramNumbers;
    TkvDynStringArray paramValues;
    // Extensions (lower case, no dot) whose shell icons the image lists hold; the
    // extension at position p has the picture 12 + p.
    TkvDynStringArray extensions;
    // The number the next link gets; the manager counts on from here.
    int nextItemNumber = 0;
    // Index files of the last load that exist but could not be read. While this
    // is not empty the store on disk holds more than the tree shows, and a save
    // would destroy it.
    std::vector<std::string> unreadableIndexFiles;

    // Empties the four lists and restarts the numbering.
    void Clear();

    // The parameters stored for a number, "" when it has no pair.
    std::string FindItemParams(int number) const;
    // Replaces the parameters of a number that has a pair; does nothing otherwise.
    void SetItemParams(int number, const std::string& params);

    // Whether a number has a parameter pair (it is, or was made as, a program link).
    bool HasParams(int number) const;
    // A new item with the path of number and, when number has a pair, a pair of
    // its own holding the same parameters; returns the new item number.
    int CopyItem(int number);

    // A program link: its path and a parameter pair; returns its item number.
    int AddProgramLink(const std::string& path, const std::string& params);
    // Any other link: only its path; returns its item number.
    int AddOtherLink(const std::string& path);

    // The path of an item number, "" when the number is not in the table.
    std::string PathOf(int number) const;
};

}  // namespace pv
