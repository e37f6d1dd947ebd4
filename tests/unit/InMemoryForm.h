#pragma once

#include "config/MemoryForm.h"

using InMemoryForm = MemoryForm;
