#pragma once
// The fields of a saved record listed once, in the order of the text: one table writes the
// record and reads it back. Each field has its name, how its value is written and how it is
// read; a field added to the record later names the shape of the record that brought it and
// what a text of an older shape reads for it instead.
//
// A record's text is its values, each followed by the record's delimiter. A text of an older
// shape ends before the first field of a later shape: from there on every later field takes
// what its table names for older texts (or is left as it is, when it names nothing), and the
// fields of one shape come and go together.
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/FieldRanges.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

// The values of a saved record as they are read: every value of the text in order (a last
// value without its delimiter counts too), the next one to read, and the field being read.
// Reading beyond the last value gives empty values. The values are cut off the front as they
// are read; a record that needs them by place (the game's, whose objects are read later) has
// them split first.
class TSavedValues {
public:
  enum TSplit { Split };
  TSavedValues(std::string_view Text, char Delim) : FRest(Text), FDelim(Delim) {}
  TSavedValues(std::string_view Text, char Delim, TSplit) : FDelim(Delim), FSplit(true) {
    for (TTokenReader R(Text); !R.AtEnd();) FValues.push_back(R.Next(Delim));
  }
  std::string_view Next() {
    if (!FSplit) {
      ++FNext;
      return FRest.Next(FDelim);
    }
    return FNext < FValues.size() ? FValues[FNext++] : std::string_view();
  }
  std::int32_t NextInt() { return StrToIntDef(Next(), 0); }
  bool NextFlag() { return Next() == "1"; }
  bool AtEnd() const { return FSplit ? FNext >= FValues.size() : FRest.AtEnd(); }
  // Passes over Count values (a run of nested records) and gives the place of the first.
  std::size_t Skip(std::size_t Count) {
    const std::size_t First = FNext;
    if (FSplit)
      FNext += Count;
    else
      for (std::size_t I = 0; I < Count; ++I) Next();
    return First;
  }
  std::size_t Position() const { return FNext; }
  // Of split values only: how many there are, and the value at a place.
  std::size_t Size() const { return FValues.size(); }
  std::string_view At(std::size_t I) const { return I < FValues.size() ? FValues[I] : std::string_view(); }

  // The field being read, counted from 1: its number and name frame a value that cannot be
  // used ("field 3 (X): 'x' is not a valid integer value").
  // (The name must outlive the reading: a table's, or a literal.)
  void BeginField(std::string_view Name) {
    ++FFieldNumber;
    FFieldName = Name;
  }
  EBrenmoorEngine Error(const std::string& What) const {
    return EBrenmoorEngine(FRecord + "field " + std::to_string(FFieldNumber) + " (" + std::string(FFieldName) + "): " + What);
  }
  // The record being read, named before the field in an error ("Zone Alba: field 9 ...").
  void SetRecord(const std::string& Record) { FRecord = Record.empty() ? std::string() : Record + ": "; }

private:
  TTokenReader FRest{std::string_view()};
  std::vector<std::string_view> FValues;
  std::size_t FNext = 0;
  char FDelim;
  bool FSplit = false;
  int FFieldNumber = 0;
  std::string_view FFieldName;
  std::string FRecord;
};

// The text of a saved record as it is written: each value followed by the delimiter.
class TSavedText {
public:
  explicit TSavedText(char Delim) : FDelim(Delim) {}
  void Add(std::string_view Value) {
    FText += Value;
    FText += FDelim;
  }
  std::string Take() { return std::move(FText); }

private:
  std::string FText;
  char FDelim;
};

// What a reader that keeps nothing aside for later fields holds.
struct TNoScratch {};

// The table of one saved record: written from a TSource, read into a TTarget (the same object
// for most records), with a TScratch that keeps values a later field or step needs.
template <class TSource, class TTarget = TSource, class TScratch = TNoScratch>
class TSavedFields {
public:
  using TWriter = std::function<void(const TSource&, TSavedText&)>;
  using TReader = std::function<void(TTarget&, TSavedValues&, TScratch&)>;
  using TOlder = std::function<void(TTarget&, TScratch&)>;

  struct TField {
    std::string Name;
    TWriter Write;  // None: a step of the reading, which writes nothing and reads no value.
    TReader Read;
    int Shape = 0;  // 0: in every text; n: came with the record's n-th later shape.
    TOlder Older;   // What a text without the field reads for it; none: left as it is.
  };

  // A field written by Write (its value, or values added to the text) and read by Read (which
  // takes the scratch or not).
  template <class W, class R>
  static TField Field(std::string Name, W Write, R Read) {
    return {std::move(Name), Writer(std::move(Write)), Reader(std::move(Read)), 0, {}};
  }
  // A field of the record's later shape Shape; a text of an older shape reads Older for it
  // (nullptr: the field stays as it was).
  template <class W, class R, class TOlderRead>
  static TField Later(int Shape, std::string Name, W Write, R Read, TOlderRead Older) {
    TField F = Field(std::move(Name), std::move(Write), std::move(Read));
    F.Shape = Shape;
    if constexpr (!std::is_null_pointer_v<TOlderRead>) {
      if constexpr (std::is_invocable_v<TOlderRead, TTarget&, TScratch&>)
        F.Older = std::move(Older);
      else
        F.Older = [Default = std::move(Older)](TTarget& T, TScratch&) { Default(T); };
    }
    return F;
  }
  // A step of the reading at its place among the fields (a check of values read before it).
  template <class TRun>
  static TField Step(std::string Name, TRun Run) {
    TField F{std::move(Name), {}, {}, 0, {}};
    if constexpr (std::is_invocable_v<TRun, TTarget&, TScratch&>)
      F.Read = [Check = std::move(Run)](TTarget& T, TSavedValues&, TScratch& S) { Check(T, S); };
    else
      F.Read = [Check = std::move(Run)](TTarget& T, TSavedValues&, TScratch&) { Check(T); };
    return F;
  }

  TSavedFields(char Delim, std::vector<TField> Fields) : FDelim(Delim), FFields(std::move(Fields)) {}

  std::string Write(const TSource& Source) const {
    TSavedText Text(FDelim);
    Write(Source, Text);
    return Text.Take();
  }
  void Write(const TSource& Source, TSavedText& Text) const {
    for (const TField& F : FFields)
      if (F.Write) F.Write(Source, Text);
  }

  void Read(TTarget& Target, std::string_view Text, TScratch Scratch = {}) const {
    TSavedValues Values(Text, FDelim);
    Read(Target, Values, Scratch);
  }
  // The same, an error naming the record first.
  void Read(TTarget& Target, std::string_view Text, const std::string& Record) const {
    TSavedValues Values(Text, FDelim);
    Values.SetRecord(Record);
    TScratch Scratch{};
    Read(Target, Values, Scratch);
  }
  void Read(TTarget& Target, TSavedValues& Values, TScratch& Scratch) const {
    // The latest shape the text has reached; a text that ends before a later shape's first
    // field is of the shape before it.
    int Reached = 0;
    bool Older = false;
    for (const TField& F : FFields) {
      if (!F.Write) {
        F.Read(Target, Values, Scratch);
        continue;
      }
      if (F.Shape > Reached && !Older) {
        if (Values.AtEnd())
          Older = true;
        else
          Reached = F.Shape;
      }
      if (Older && F.Shape > Reached) {
        if (F.Older) F.Older(Target, Scratch);
        continue;
      }
      Values.BeginField(F.Name);
      F.Read(Target, Values, Scratch);
    }
  }

private:
  template <class W>
  static TWriter Writer(W Write) {
    if constexpr (std::is_invocable_r_v<std::string, W, const TSource&>)
      return [W2 = std::move(Write)](const TSource& S, TSavedText& T) { T.Add(W2(S)); };
    else
      return Write;
  }
  template <class R>
  static TReader Reader(R Read) {
    if constexpr (std::is_invocable_v<R, TTarget&, TSavedValues&, TScratch&>)
      return Read;
    else
      return [R2 = std::move(Read)](TTarget& T, TSavedValues& V, TScratch&) { R2(T, V); };
  }

  char FDelim;
  std::vector<TField> FFields;
};

// Ways of writing and reading one value, for the tables' fields.
namespace SavedValue {

// A nation or zone written as its index in the engine's list, -1 for none.
template <class TObject>
std::string IndexOf(const TObject* Object) {
  return IntToStr(Object ? Object->GetIndex() : -1);
}

// The next value as an integer within Min..Max, an empty value reading as 0 (when 0 lies
// within); anything else is refused with the field's number and name.
inline std::int32_t Int(TSavedValues& Values, std::int64_t Min = INT32_MIN, std::int64_t Max = INT32_MAX) {
  const std::string_view T = Values.Next();
  if (T.empty() && Min <= 0 && Max >= 0) return 0;
  const auto V = TryStrToInt(T);
  if (!V) throw Values.Error("'" + std::string(T) + "' is not a valid integer value");
  if (*V < Min || *V > Max) throw Values.Error("the value " + IntToStr(*V) + " is outside " + IntToStr(Min) + ".." + IntToStr(Max));
  return *V;
}

// The next value as a float32; a text that is no number or lies beyond a float32 is refused
// with the field's number and name.
inline float Float(TSavedValues& Values) {
  const std::string_view T = Values.Next();
  if (!TryStrToFloat(T)) throw Values.Error("'" + std::string(T) + "' is not a valid floating point value");
  const auto V = TryStrToSingle(T);
  if (!V) throw Values.Error("'" + std::string(T) + "' is out of range for a floating point value");
  return *V;
}

// A text as the lenient readers take an integer: one that is no integer reads as 0 (as saved
// games and scenarios always have), and digits beyond 64 bits as the farthest value of their
// sign, which lies beyond every range.
inline std::int64_t LenientValue(std::string_view T) {
  if (const auto I = TryStrToInt64(T)) return *I;
  const std::string_view Digits = T.substr(!T.empty() && (T[0] == '-' || T[0] == '+') ? 1 : 0);
  if (!Digits.empty() && Digits.find_first_not_of("0123456789") == std::string_view::npos) return T[0] == '-' ? INT64_MIN : INT64_MAX;
  return 0;
}
// The range as an error names it ("0..1000000").
inline std::string RangeText(TValueRange Range) { return IntToStr(Range.Min) + ".." + IntToStr(Range.Max); }

// The next value as an integer within Range, read as LenientValue reads it; a value outside is
// refused with the field's number and name.
inline std::int32_t LenientInt(TSavedValues& Values, TValueRange Range) {
  const std::string_view T = Values.Next();
  const std::int64_t V = LenientValue(T);
  if (!Range.Holds(V)) throw Values.Error("the value " + std::string(T) + " is outside " + RangeText(Range));
  return static_cast<std::int32_t>(V);
}

// The next value as an integer within Range (an empty value reading as 0 when 0 lies within).
inline std::int32_t Int(TSavedValues& Values, TValueRange Range) { return Int(Values, Range.Min, Range.Max); }

// The range of a float as the error names it.
inline std::string RangeText(TFloatRange Range) { return FloatToStr(Range.Min) + ".." + FloatToStr(Range.Max); }

// The next value as a float32 within Range: a text that is no number raises the conversion
// error as saved games always have, a value outside is refused with the field's number and name.
inline float LenientSingle(TSavedValues& Values, TFloatRange Range) {
  const std::string_view T = Values.Next();
  const float V = StrToSingle(T);
  if (!Range.Holds(static_cast<double>(V))) throw Values.Error("the value " + std::string(T) + " is outside " + RangeText(Range));
  return V;
}

// The next value as a float32 within Range, refused with the field's number and name when it
// is no number or lies outside.
inline float Float(TSavedValues& Values, TFloatRange Range) {
  const float V = Float(Values);
  if (!Range.Holds(static_cast<double>(V))) throw Values.Error("the value " + FloatToStr(V) + " is outside " + RangeText(Range));
  return V;
}

// The next token of a scenario record cut at Delim as an integer within Range, a text that is
// no integer reading as 0 as the scenario reader always has; a value outside is refused
// naming the record (Where) and the field (What).
inline std::int32_t ValueIn(std::string_view T, TValueRange Range, const std::string& Where, const char* What) {
  const std::int64_t V = LenientValue(T);
  if (!Range.Holds(V)) throw EBrenmoorEngine(Where + ": the " + What + " " + std::string(T) + " is outside " + RangeText(Range));
  return static_cast<std::int32_t>(V);
}
// The same of a float (a text that is no number raises the conversion error).
inline float ValueIn(std::string_view T, TFloatRange Range, const std::string& Where, const char* What) {
  const float V = StrToSingle(T);
  if (!Range.Holds(static_cast<double>(V)))
    throw EBrenmoorEngine(Where + ": the " + What + " " + std::string(T) + " is outside " + RangeText(Range));
  return V;
}
template <class TRange>
auto NextTokenIn(std::string& Rest, std::string_view Delim, TRange Range, const std::string& Where, const char* What) {
  return ValueIn(NextToken(Rest, Delim), Range, Where, What);
}

// A "#"-list of the values of a fixed-size array, each written by Write.
template <class TArray, class W>
std::string List(const TArray& Items, W Write) {
  std::string S;
  for (const auto& Item : Items) {
    S += Write(Item);
    S += '#';
  }
  return S;
}

// Each item of a fixed-size array read in turn from a "#"-list (empty items beyond its end).
template <class TArray, class R>
void ReadList(std::string_view Text, TArray& Items, R Read) {
  TSavedValues L(Text, '#');
  for (auto& Item : Items) Item = Read(L.Next());
}

// The next value as a "#"-list of the integers of a fixed-size array, each within Range and
// read as LenientInt reads (empty items beyond its end read as 0); an item outside refuses the
// text with the field's number and name and the item's number.
// (Text: the value, taken already.)
template <class TArray>
void ReadIntList(TSavedValues& Values, std::string_view Text, TArray& Items, TValueRange Range) {
  TSavedValues L(Text, '#');
  int N = 0;
  for (auto& Item : Items) {
    ++N;
    const std::string_view T = L.Next();
    const std::int64_t V = LenientValue(T);
    if (!Range.Holds(V))
      throw Values.Error("item " + std::to_string(N) + " '" + std::string(T) + "' is outside " + RangeText(Range));
    Item = static_cast<std::remove_reference_t<decltype(Item)>>(V);
  }
}
template <class TArray>
void ReadIntList(TSavedValues& Values, TArray& Items, TValueRange Range) {
  ReadIntList(Values, Values.Next(), Items, Range);
}

// The same of floats, read as LenientSingle reads.
template <class TArray>
void ReadFloatList(TSavedValues& Values, TArray& Items, TFloatRange Range) {
  TSavedValues L(Values.Next(), '#');
  int N = 0;
  for (auto& Item : Items) {
    ++N;
    const std::string_view T = L.Next();
    const float V = StrToSingle(T);
    if (!Range.Holds(static_cast<double>(V)))
      throw Values.Error("item " + std::to_string(N) + " '" + std::string(T) + "' is outside " + RangeText(Range));
    Item = V;
  }
}

}  // namespace SavedValue

// Fields that write a record's own member and read it back as the saved game always has: an
// integer that is no integer reads as 0, a flag is "1" or not, a float that is no number
// raises the conversion error. Every number has its range: a value outside refuses the text.
template <class TRecord, class TScratch = TNoScratch>
struct TMemberFields {
  using TFields = TSavedFields<TRecord, TRecord, TScratch>;
  using TField = typename TFields::TField;

  template <class M>
  static TField Int(const char* Name, M TRecord::*Member, TValueRange Range) {
    return TFields::Field(Name, [Member](const TRecord& R) { return IntToStr(static_cast<std::int64_t>(R.*Member)); },
                          [Member, Range](TRecord& R, TSavedValues& V) { R.*Member = static_cast<M>(SavedValue::LenientInt(V, Range)); });
  }
  static TField Flag(const char* Name, bool TRecord::*Member) {
    return TFields::Field(Name, [Member](const TRecord& R) { return std::string(R.*Member ? "1" : "0"); },
                          [Member](TRecord& R, TSavedValues& V) { R.*Member = V.NextFlag(); });
  }
  static TField Single(const char* Name, float TRecord::*Member, TFloatRange Range) {
    return TFields::Field(Name, [Member](const TRecord& R) { return SingleToStr(R.*Member); },
                          [Member, Range](TRecord& R, TSavedValues& V) { R.*Member = SavedValue::LenientSingle(V, Range); });
  }
  static TField Text(const char* Name, std::string TRecord::*Member) {
    return TFields::Field(Name, [Member](const TRecord& R) { return R.*Member; },
                          [Member](TRecord& R, TSavedValues& V) { R.*Member = std::string(V.Next()); });
  }
};
