#include <vector>

#include "scene/scroller.h"
#include "scene/shader_program.h"
#include "scene/shader_sources.h"
#include "shell/gl_extensions.h"
#include "textures/float_image.h"
#include "textures/gl/upload_2d.h"

// The scroller's part of the desktop drawing path.

void Scroller::createProgram() {
    program = CreateShaderProgram(fishEyeSource.text, fishEyeSource.length);
    zoomLocation = FindUniform(program, "zoom");
    faderLocation = FindUniform(program, "fader");
}

void Scroller::createFontTexture() {
    std::vector<std::uint8_t> bgra = fontBgra();
    fontTexture = uploadTexture2D(bgra.data(), fontImage->width, fontImage->height);
}

void Scroller::compileList() {
    glBegin(GL_QUAD_STRIP);
    for (std::int32_t i = 0; i < glyphCount * 4; ++i) {
        glTexCoord2f(quads[i].s, quads[i].t);
        glVertex3f(quads[i].x, quads[i].y, quads[i].z);
    }
    glEnd();
}

void Scroller::draw(std::int32_t t) { render(advance(t)); }

void Scroller::render(const ScrollerPose& pose) {
    const GlExtensions& ext = glExtensions;
    ext.glUseProgramObjectARB(program);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.01f);
    glEnable(GL_ALPHA_TEST);

    glPushMatrix();
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 0.2f);
    glRotatef(pose.angle, 0.0f, 0.0f, 1.0f);
    glTranslatef(pose.x, -1.0f, 9.0f);
    glScalef(25.0f, 20.0f, 0.0f);

    for (int i = 0; i < pose.passes; ++i) {
        glPushMatrix();
        ext.glUniform1fARB(zoomLocation, pose.zooms[i]);
        glCallList(list);
        glPopMatrix();
    }

    glEnable(GL_CULL_FACE);
    glPopMatrix();
    ext.glUseProgramObjectARB(0);
}
