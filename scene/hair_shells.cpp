#include "scene/hair_shells.h"

#include "scene/frame_record.h"
#include "scene/glview.h"
#include "scene/shader_program.h"
#include "scene/shader_sources.h"
#include "shell/gl_extensions.h"

void buildHairProgram(GLView& view) {
    view.hairProgram = CreateShaderProgram(hairShellSource.text, hairShellSource.length);
    view.cameraLocation = FindUniform(view.hairProgram, "camera");
    view.factorLocation = FindUniform(view.hairProgram, "factor");
    view.rotationLocation = FindUniform(view.hairProgram, "rotation");
    view.basslineLocation = FindUniform(view.hairProgram, "bassline");
    view.basslineIntensityLocation = FindUniform(view.hairProgram, "basslineintensity");
}

void drawShells(GLView& view, const FrameRecord& record) {
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

    for (int i = 0; i < kShellCount; ++i) {
        const ShellPose& pose = record.shells[i];
        glPushMatrix();
        glTranslatef(0.0f, pose.y, pose.z);
        glRotatef(pose.swing, 1.0f, 1.0f, 0.0f);
        ext.glUniform1fARB(view.factorLocation, pose.factor);
        ext.glUniform1fARB(view.basslineIntensityLocation, record.basslineIntensity);
        ext.glUniform1fARB(view.basslineLocation, record.bassline);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f - pose.factor);
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
