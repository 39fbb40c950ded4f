#pragma once
// Small helpers without game knowledge: single bits of a character, the scenario's
// "m/d/y" date reader and the Manhattan distance of two points.
#include <cstdint>
#include <string>

#include "foundation/DateUtils.h"
#include "foundation/Exception.h"
#include "foundation/Geometry.h"

class EMyUtils : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// True when bit Bit (0..7, bit 0 the value 1) of C is set; raises for any other bit number.
bool GetBitOfChar(char C, int Bit);
// Sets or clears bit Bit of C; raises "Value of <Bit> in SetBitOfChar" for any other bit number.
void SetBitOfChar(char& C, int Bit, bool Value);
// Month "/" day "/" year; a two-character year is of the 1900s and a year not above 1900 is
// moved a century on ("00" and "1900" both give 2000); 0 when no valid date results.
TDateTime StrToDateMDY(const std::string& S);
std::int32_t ManhattanDistance(TPoint A, TPoint B);
