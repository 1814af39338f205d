// Compares the resources of a program with expected_resources, one kind of
// resource per check; each returns every difference it finds.
#pragma once

#include <string>
#include <vector>

#include "tests/res/mismatches.h"
#include "tests/res/resource_source.h"

Mismatches CheckLanguages(const IResourceSource& source);
Mismatches CheckStrings(const IResourceSource& source);
Mismatches CheckDialog(const IResourceSource& source);
Mismatches CheckVersion(const IResourceSource& source);
Mismatches CheckIcons(const IResourceSource& source);
Mismatches CheckManifest(const IResourceSource& source);

struct ResourceCheck {
  const char* name;
  Mismatches (*run)(const IResourceSource&);
};
const std::vector<ResourceCheck>& AllResourceChecks();
