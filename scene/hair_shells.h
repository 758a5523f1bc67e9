#pragma once

class GLView;
struct FrameRecord;

// Builds the hair-shell program into the view and looks up its five uniforms.
void buildHairProgram(GLView& view);

// Draws the torus 60 times as translucent shells in the frame's poses. Expects the model-view matrix at identity
// and the camera in the projection matrix.
void drawShells(GLView& view, const FrameRecord& record);
