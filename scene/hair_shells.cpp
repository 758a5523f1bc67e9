#include "scene/hair_shells.h"

#include "scene/glview.h"
#include "scene/shader_program.h"
#include "scene/shader_sources.h"
#include "scene/shell_motion.h"
#include "shell/gl_extensions.h"

void buildHairProgram(GLView& view) {
    view.hairProgram = CreateShaderProgram(hairShellSource.text, hairShellSource.length);
    view.cameraLocation = FindUniform(view.hairProgram, "camera");
    view.factorLocation = FindUniform(view.hairProgram, "factor");
    view.rotationLocation = FindUniform(view.hairProgram, "rotation");
    view.basslineLocation = FindUniform(view.hairProgram, "bassline");
    view.basslineIntensityLocation = FindUniform(view.hairProgram, "basslineintensity");
}

void drawShells(GLView& view) {
    const GlExtensions& ext = glExtensions;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);

    ext.glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, view.baseTexture);
    ext.glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, view.envCubeMap);
    ext.glActiveTextureARB(GL_TEXTURE0_ARB);

    ext.glUseProgramObjectARB(view.hairProgram);
    // skyRotation is column-major, so passing it transposed hands the shader
    // the inverse rotation: reflections turn with the sky.
    ext.glUniformMatrix4fvARB(view.rotationLocation, 1, GL_TRUE, view.skyRotation);
    ext.glUniform3fvARB(view.cameraLocation, 1, view.camera);

    const float rise = shellRise(view.frameTime);
    const float bounce = shellBounce(view.frameTime, view.bounceStart);
    stepBassline(view.frameTime - view.previousTime, view.basslineIntensity, view.bassline,
                 view.pendingBassline, view.bassFalling);

    for (int i = 0; i < kShellCount; ++i) {
        const float factor = shellFactor(i);
        glPushMatrix();
        const ShellOffset offset = shellOffset(bounce, factor, rise);
        glTranslatef(0.0f, offset.y, offset.z);
        glRotatef(shellSwing(view.frameTime, factor), 1.0f, 1.0f, 0.0f);
        ext.glUniform1fARB(view.factorLocation, factor);
        ext.glUniform1fARB(view.basslineIntensityLocation, view.basslineIntensity);
        ext.glUniform1fARB(view.basslineLocation, view.bassline);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f - factor);
        glCallList(view.torusList);
        // The two innermost shells are the dense base; strands begin outside them.
        if (i == 1) glBindTexture(GL_TEXTURE_2D, view.strandTexture);
        glPopMatrix();
    }

    ext.glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_CUBE_MAP_ARB);
    ext.glActiveTextureARB(GL_TEXTURE0_ARB);
    ext.glUseProgramObjectARB(0);
}
