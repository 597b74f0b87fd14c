#pragma once
// The bencode encoder: each function returns the complete encoding of its value.

#include <string>

#include "bencode/Atom.h"

std::string writeInteger(const CAtomInt& atom);
std::string writeLongInteger(const CAtomLong& atom);
std::string writeByteString(const CAtomString& atom);
std::string writeList(const CAtomList& atom);
std::string writeDictionary(const CAtomDicti& atom);
