#pragma once

/// Plays the chime the executable carries, once, and returns when it has
/// ended. Without a sound library, a sound device, or with a device that is
/// busy, it returns at once. It never prints anything and never fails.
void playChimeSound();
