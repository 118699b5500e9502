// Resource and control IDs of the calculator form, shared by the resource
// script and the C++ code. The resource compiler sees only the #defines; the
// ID arithmetic and the tables below are C++ and hidden from it.
#pragma once

// Resources
#define IDR_MANIFEST 1
#define IDD_CALCULATOR 101
#define IDI_TALLYHORN 103        // the window's large icon
#define IDI_TALLYHORN_SMALL 104  // the window's small icon

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Horse boxes: row r, slot i (horse i + 1) is IDC_BOXES_A + 20 * r + i.
#define IDC_BOXES_A 1000
#define IDC_BOXES_B 1020
#define IDC_BOXES_C 1040
#define IDC_BOXES_D 1060
#define IDC_BOXES_E 1080
#define IDC_BOXES_F 1100
#define IDC_BOXES_G 1120
#define IDC_BOXES_H 1140
#define IDC_BOX_LAST 1159

// Row labels (not in row order)
#define IDC_LABEL_A 1271
#define IDC_LABEL_B 1272
#define IDC_LABEL_C 1199
#define IDC_LABEL_D 1200
#define IDC_LABEL_E 1201
#define IDC_LABEL_F 1202
#define IDC_LABEL_G 1203
#define IDC_LABEL_H 1204

// Clr buttons, one per row (not in row order)
#define IDC_CLR_A 1227
#define IDC_CLR_B 1231
#define IDC_CLR_C 1232
#define IDC_CLR_D 1233
#define IDC_CLR_E 1234
#define IDC_CLR_F 1235
#define IDC_CLR_G 1236
#define IDC_CLR_H 1237

// All buttons: row r is IDC_ALL_A + r.
#define IDC_ALL_A 1280
#define IDC_ALL_B 1281
#define IDC_ALL_C 1282
#define IDC_ALL_D 1283
#define IDC_ALL_E 1284
#define IDC_ALL_F 1285
#define IDC_ALL_G 1286
#define IDC_ALL_H 1287

// Field-size edits: row r is IDC_SIZE_A + r.
#define IDC_SIZE_A 1323
#define IDC_SIZE_B 1324
#define IDC_SIZE_C 1325
#define IDC_SIZE_D 1326
#define IDC_SIZE_E 1327
#define IDC_SIZE_F 1328
#define IDC_SIZE_G 1329
#define IDC_SIZE_H 1330

// Bet-type radio buttons (Superfecta-5 and -6 above the Pick bets)
#define IDC_BET_EXACTA 1246
#define IDC_BET_TRIFECTA 1247
#define IDC_BET_SUPERFECTA 1248
#define IDC_BET_PICK_3 1249
#define IDC_BET_PICK_4 1250
#define IDC_BET_PICK_5 1251
#define IDC_BET_PICK_6 1252
#define IDC_BET_PICK_7 1253
#define IDC_BET_PICK_8 1254
#define IDC_BET_SUPERFECTA_5 1264
#define IDC_BET_SUPERFECTA_6 1265

// Unit-amount radio buttons, cheapest first
#define IDC_UNIT_0_05 1331
#define IDC_UNIT_0_10 1332
#define IDC_UNIT_0_20 1333
#define IDC_UNIT_1 1334
#define IDC_UNIT_2 1335
#define IDC_UNIT_3 1336
#define IDC_UNIT_5 1337
#define IDC_UNIT_10 1338

// Other push buttons
#define IDC_RESET 1228
#define IDC_ABOUT_BUTTON 1262
#define IDC_HELP_BUTTON 1263

// Texts: the column header, the hidden count and cost fields, the ticket box
#define IDC_COLUMN_HEADER 1270
#define IDC_COUNT_FIELD 1244
#define IDC_COST_FIELD 1245
#define IDC_TICKET 1342

#ifndef RC_INVOKED

#include <array>

#include "calc/wager.h"

namespace tallyhorn {

// The horse box of row `row`, slot `slot` (horse slot + 1).
constexpr int BoxId(Row row, int slot) { return IDC_BOXES_A + kSlotCount * row + slot; }

// The All button of a row.
constexpr int AllButtonId(Row row) { return IDC_ALL_A + row; }

// The field-size edit of a row.
constexpr int SizeEditId(Row row) { return IDC_SIZE_A + row; }

// Row labels and Clr buttons by row; their IDs follow no formula.
inline constexpr std::array<int, kRowCount> RowLabelIds{IDC_LABEL_A, IDC_LABEL_B, IDC_LABEL_C, IDC_LABEL_D,
                                                       IDC_LABEL_E, IDC_LABEL_F, IDC_LABEL_G, IDC_LABEL_H};
inline constexpr std::array<int, kRowCount> ClearButtonIds{IDC_CLR_A, IDC_CLR_B, IDC_CLR_C, IDC_CLR_D,
                                                          IDC_CLR_E, IDC_CLR_F, IDC_CLR_G, IDC_CLR_H};

// The radio button of each bet type, indexed by BetType.
inline constexpr std::array<int, kBetTypeCount> BetTypeButtonIds{
    IDC_BET_EXACTA, IDC_BET_TRIFECTA, IDC_BET_SUPERFECTA, IDC_BET_SUPERFECTA_5, IDC_BET_SUPERFECTA_6, IDC_BET_PICK_3,
    IDC_BET_PICK_4, IDC_BET_PICK_5,   IDC_BET_PICK_6,     IDC_BET_PICK_7,       IDC_BET_PICK_8};

// The radio button of each unit amount, indexed like UnitAmountTable.
inline constexpr std::array<int, kUnitCount> UnitButtonIds{IDC_UNIT_0_05, IDC_UNIT_0_10, IDC_UNIT_0_20, IDC_UNIT_1,
                                                          IDC_UNIT_2,    IDC_UNIT_3,    IDC_UNIT_5,    IDC_UNIT_10};

// Position of `id` in `ids`, or -1 when it is not there.
template <std::size_t N>
constexpr int IndexOfId(const std::array<int, N>& ids, int id) {
  for (std::size_t i = 0; i < N; ++i) {
    if (ids[i] == id) return static_cast<int>(i);
  }
  return -1;
}

// The bet type a radio button selects, or -1.
constexpr BetType BetTypeOfButton(int id) { return IndexOfId(BetTypeButtonIds, id); }

// The UnitAmountTable entry a radio button selects, or -1.
constexpr int UnitIndexOfButton(int id) { return IndexOfId(UnitButtonIds, id); }

// The row a Clr button clears, or -1.
constexpr Row RowOfClearButton(int id) { return IndexOfId(ClearButtonIds, id); }

// The row of a horse box, All button or size edit, or -1 for other IDs.
constexpr Row RowOfBox(int id) {
  return id >= BoxId(0, 0) && id <= IDC_BOX_LAST ? (id - IDC_BOXES_A) / kSlotCount : -1;
}
constexpr Row RowOfAllButton(int id) { return id >= IDC_ALL_A && id <= IDC_ALL_H ? id - IDC_ALL_A : -1; }
constexpr Row RowOfSizeEdit(int id) { return id >= IDC_SIZE_A && id <= IDC_SIZE_H ? id - IDC_SIZE_A : -1; }

// The ranges the logic walks by arithmetic are contiguous and keep clear of
// each other and of every ID listed one by one.
static_assert(BoxId(kRowCount - 1, kSlotCount - 1) == IDC_BOX_LAST);
static_assert(IDC_BOXES_H == BoxId(7, 0) && IDC_BOXES_B == BoxId(1, 0));
static_assert(AllButtonId(kRowCount - 1) == IDC_ALL_H);
static_assert(SizeEditId(kRowCount - 1) == IDC_SIZE_H);
static_assert(IDC_UNIT_10 - IDC_UNIT_0_05 == kUnitCount - 1);
static_assert(IDC_BET_PICK_8 - IDC_BET_EXACTA == 8, "the bet-type range 1246 to 1254 holds nine buttons");

namespace resource_detail {

// Every ID given one by one, with IDOK and IDCANCEL, which no control carries.
inline constexpr std::array<int, 44> kListedIds{
    IDC_LABEL_A, IDC_LABEL_B, IDC_LABEL_C, IDC_LABEL_D, IDC_LABEL_E, IDC_LABEL_F, IDC_LABEL_G, IDC_LABEL_H,
    IDC_CLR_A, IDC_CLR_B, IDC_CLR_C, IDC_CLR_D, IDC_CLR_E, IDC_CLR_F, IDC_CLR_G, IDC_CLR_H,
    IDC_BET_EXACTA, IDC_BET_TRIFECTA, IDC_BET_SUPERFECTA, IDC_BET_SUPERFECTA_5, IDC_BET_SUPERFECTA_6,
    IDC_BET_PICK_3, IDC_BET_PICK_4, IDC_BET_PICK_5, IDC_BET_PICK_6, IDC_BET_PICK_7, IDC_BET_PICK_8,
    IDC_UNIT_0_05, IDC_UNIT_0_10, IDC_UNIT_0_20, IDC_UNIT_1, IDC_UNIT_2, IDC_UNIT_3, IDC_UNIT_5, IDC_UNIT_10,
    IDC_RESET, IDC_ABOUT_BUTTON, IDC_HELP_BUTTON, IDC_COLUMN_HEADER, IDC_COUNT_FIELD, IDC_COST_FIELD, IDC_TICKET,
    1, 2};

// True when no listed ID repeats or falls into the box, All or size-edit
// ranges, and those three ranges are disjoint.
constexpr bool IdsAreDistinct() {
  for (std::size_t i = 0; i < kListedIds.size(); ++i) {
    const int id = kListedIds[i];
    if (RowOfBox(id) >= 0 || RowOfAllButton(id) >= 0 || RowOfSizeEdit(id) >= 0) return false;
    for (std::size_t j = i + 1; j < kListedIds.size(); ++j) {
      if (kListedIds[j] == id) return false;
    }
  }
  return IDC_BOX_LAST < IDC_ALL_A && IDC_ALL_H < IDC_SIZE_A;
}

}  // namespace resource_detail

static_assert(resource_detail::IdsAreDistinct(), "two controls of the form share an ID");

}  // namespace tallyhorn

#endif  // RC_INVOKED
