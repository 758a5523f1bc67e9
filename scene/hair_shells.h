#pragma once

class GLView;

// Builds the hair-shell program into the view and looks up its five uniforms.
void buildHairProgram(GLView& view);

// Draws the torus 60 times as translucent shells, advancing the view's bounce
// and bass-wave state by one frame. Expects the model-view matrix at identity
// and the camera in the projection matrix.
void drawShells(GLView& view);
