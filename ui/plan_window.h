// The plan window: a second top-level window beside the calculator that
// lists the tickets a player means to bet together, with a running summary
// by bet type, and keeps them in files and between runs.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace tallyhorn {

// The plan window's controls.
inline constexpr int kPlanListId = 2001;
inline constexpr int kPlanSummaryId = 2002;
inline constexpr int kPlanAddId = 2010;
inline constexpr int kPlanReplaceId = 2011;
inline constexpr int kPlanRemoveId = 2012;
inline constexpr int kPlanMoveUpId = 2013;
inline constexpr int kPlanMoveDownId = 2014;
inline constexpr int kPlanOpenId = 2015;
inline constexpr int kPlanSaveId = 2016;
inline constexpr int kPlanSaveAsId = 2017;
inline constexpr int kPlanNewId = 2018;
inline constexpr int kPlanCopyId = 2019;

// The window's title with no file, and after a file's name.
inline constexpr const wchar_t* kPlanTitle = L"Tallyhorn plan";

/*
 * Brings up the plan for a calculator that is up: creates the window
 * (hidden), loads the plan the last run left (%APPDATA%\Tallyhorn\plan.txt)
 * with its history started afresh, and opens `planFile` on top of it when
 * one is given. The window shows, beside the calculator and without taking
 * the keyboard from it, when the plan has tickets or a file was given; a
 * damaged autosave or plan file is explained in a message box. A plan
 * window left from an earlier call is closed first. Returns the window.
 */
HWND StartPlan(const std::wstring& planFile = L"");

// Closes the plan window for good: its place is kept for the next start,
// and the count in progress is stopped. The plan itself is already saved.
void ClosePlan();

// The plan window, or nullptr while there is none.
HWND PlanWindow();

/*
 * Offers a message to the plan window ahead of the calculator: the plan's
 * own keys, then the dialog keys (Tab, Alt+mnemonic, Escape) of its
 * controls. Returns true when the message was taken.
 */
bool TakePlanMessage(MSG& message);

/*
 * Ctrl+Enter in the calculator: adds the calculator's ticket to the plan
 * and shows the plan window (without taking the keyboard from the
 * calculator). A ticket that covers no combination is not added; a warning
 * box says why.
 */
void AddCalculatorTicketToPlan();


}  // namespace tallyhorn
