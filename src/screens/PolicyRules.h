#pragma once
// What the policy windows of the current nation decide, without any window: the diplomacy
// window's nation lines, their colours and the refusals of a declaration of war; the research
// window's progress texts, ordinals and the allocation it returns; the formations window's
// jet row and the weights it returns.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/DiplomacyTypes.h"
#include "engine/EngineTypes.h"

class TNation;

// --- Diplomacy ---

// "[" relation "] (" relation word ")" of Current towards Other: "[80] (Friendly)".
std::string RelationLineText(const TNation& Current, const TNation& Other);
// The colour a nation line's relation text is drawn in.
enum TRelationColor { rcWhite, rcGreen, rcRed, rcFontColor };
// White on a selected line; green for a relation of 1 or more or the word "Allied"; red for
// a relation below 0, or for the word "War" at relation 0; else the list's font colour.
TRelationColor RelationColor(std::int32_t Relation, const std::string& Word, bool Selected);
// Declare War is offered when Current may attack without war, Chosen is another nation and
// the relation is neither 100 (allied) nor -100 (already at war).
bool DeclareWarOffered(const TNation* Current, const TNation* Chosen);
// Why a declaration of war on Chosen is refused: "First Select a Nation", "You cannot Declare
// War on an Allied Nation" (relation 100), "You are already at war with this Nation" (-100);
// nothing when it may go on to the confirmation.
std::optional<std::string> DeclareWarRefusal(const TNation* Current, const TNation* Chosen);
// "Declare War on " name "?"
std::string DeclareWarQuestion(const TNation& Chosen);
// The message of an action chosen without a nation.
inline constexpr const char* SelectNationFirst = "First Select a Nation";
// The diplomatic actions' captions in TDiplomaticAction's order.
inline constexpr std::array<const char*, DiplomaticActionCount> DiplomaticActionCaptions{
    "Denounce", "Propaganda", "Exert Pressure", "Arrange Summit", "Infiltrate", "Tighten Security", "Aid Rebels",
    "Aid Government"};

// --- Research ---

// min(progress x 100 div cost, 100) + "%", or "N/A" for a group that costs nothing.
std::string ResearchProgressText(std::int32_t Progress, std::int32_t Cost);
// The groups whose label turns bold once complete: Atomic, Jet Technology, Rocket Technology.
bool IsCompletingResearchGroup(std::int32_t Group);
// The groups with levels to climb, each with its upgrade label: the conventional groups,
// Radar and Code Breaking.
bool IsUpgradeResearchGroup(std::int32_t Group);
// "st", "nd", "rd" for a number ending in 1, 2 or 3, "th" for any other and for the teens.
std::string OrdinalSuffix(std::int32_t N);
// The label of the next upgrade at a level: level 0 "1st Upgrade", 11 "12th Upgrade".
std::string UpgradeText(std::int32_t Level);
// The research allocation of order 31: the total "#", then each group's level followed by "#".
std::string ResearchSpendingText(std::int32_t Total, const std::array<std::int32_t, ResearchGroupCount>& Groups);

// --- Formations ---

// The formation weights the window offers are the rules' own (FormationWeightLowest,
// FormationWeightHighest, FormationWeightStep), which the host's order check holds to.
// The formation weights as order 25 carries them: each type's weight followed by "#", "-#" for
// a type without one (the Atomic Bomber, which takes the Bomber's).
std::string FormationText(const std::array<std::optional<std::int32_t>, UnitTypeCount>& Weights);
// The jet row is shown once the nation's Jet Technology research is complete.
bool JetFormationShown(const TNation& Nation);
