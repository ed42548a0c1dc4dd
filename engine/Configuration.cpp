#include "engine/Configuration.h"

#include "engine/Edition.h"

namespace norak {

namespace {

struct CategoryRow {
    int first[3];  // first period of Cadete, Juvenil, Senior
    int last;      // last period that still belongs to Senior; 0: no ranges at all
};

// [edition][sex]
constexpr CategoryRow kCategories[kEditionCount][2] = {
    {{{1, 8, 12}, 30}, {{1, 6, 10}, 30}},  // Probst
    {{{1, 6, 9}, 30}, {{1, 5, 7}, 30}},    // Fútbol
    {{{1, 4, 6}, 0}, {{1, 4, 5}, 0}},      // Basket: the period never moves the category
    {{{1, 3, 6}, 20}, {{1, 3, 5}, 20}},    // FutSal
    {{{1, 3, 6}, 20}, {{1, 3, 5}, 20}},    // Zevez
};

const CategoryRow* rowFor(int edition, int sex) {
    if (edition < 0 || edition >= kEditionCount || sex < 0 || sex > 1)
        return nullptr;
    return &kCategories[edition][sex];
}

}  // namespace

int startPeriodForCategory(int edition, int sex, int category) {
    const CategoryRow* row = rowFor(edition, sex);
    if (!row || category < kCadete || category > kSenior)
        return 1;
    return row->first[category];
}

int categoryForPeriod(int edition, int sex, int period) {
    const CategoryRow* row = rowFor(edition, sex);
    if (!row || row->last == 0 || period < row->first[kCadete] || period > row->last)
        return kNoCategory;
    if (period >= row->first[kSenior])
        return kSenior;
    if (period >= row->first[kJuvenil])
        return kJuvenil;
    return kCadete;
}

}  // namespace norak
