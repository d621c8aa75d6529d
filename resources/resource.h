#pragma once
// Resource identifiers. Dialogs, menus, accelerators and icons join as the
// windows that use them are built.
