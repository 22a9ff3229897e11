#pragma once

// The resource id of the manifest that asks for the common controls of
// version 6 (CommonControls.manifest), which ui/CommonControls activates
// where they are used. Any id but the process manifest's (1), and those the
// loader reads in DLLs (2 and 3).
#define CommonControlsManifestId 101
