#pragma once
// The mixing thread's procedure; SongPlay starts it.
int MixingThread();
