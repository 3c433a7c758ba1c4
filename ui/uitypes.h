#pragma once

// Registers the interface's C++ types for the pages (module "Tavrik.Ui" 1.0).
void registerUiTypes();
