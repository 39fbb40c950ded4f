#include "controls/StringHolder.h"

TStringHolder::TStringHolder(QObject* Owner) : QObject(Owner) {}
