#pragma once

// Adds the per-test settings folder to the running GoogleTest instance.
void InstallTestEnvironment();
