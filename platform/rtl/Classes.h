// The class library's basics in one include: object model, components,
// lists, collections, streams and string lists.
#pragma once

#include "System.h"
#include "Exceptions.h"
#include "Types.h"
#include "Components.h"
#include "Lists.h"
#include "Streams.h"
#include "StringLists.h"

// How text sits across the width it has (fields, labels, edits, check boxes).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
