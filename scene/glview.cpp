#include "scene/glview.h"

#include "music/player.h"
#include "scene/build_textures.h"
#include "scene/hair_shells.h"
#include "scene/scroller.h"
#include "scene/sky_box.h"
#include "scene/torus.h"
#include "shell/gl_extensions.h"
#include "shell/gui.h"

GLView::GLView(Gui* shell) : SceneView(shell), renderTarget(new RenderTarget{}) {}

GLView::~GLView() {
    delete renderTarget;
}

void CreateRenderTarget(RenderTarget* target) {
    const GlExtensions& ext = glExtensions;
    glGenTextures(1, &target->colorTexture);
    glBindTexture(GL_TEXTURE_2D, target->colorTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(target->width),
                 static_cast<GLsizei>(target->height), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    ext.glGenRenderbuffersEXT(1, &target->depthBuffer);
    ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target->depthBuffer);
    ext.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT,
                                 static_cast<GLsizei>(target->width),
                                 static_cast<GLsizei>(target->height));
    ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);

    ext.glGenFramebuffersEXT(1, &target->framebuffer);
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target->framebuffer);
    ext.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                  target->colorTexture, 0);
    ext.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                     GL_RENDERBUFFER_EXT, target->depthBuffer);
    ext.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void GLView::setDefaultState() {
    glEnable(GL_DEPTH_TEST);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_NORMALIZE);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 80.0f);
    glShadeModel(GL_SMOOTH);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GLView::init() {
    renderTarget->width = gui->width / gui->multiply;
    renderTarget->height = gui->height / gui->multiply;
    CreateRenderTarget(renderTarget);

    buildHairProgram(*this);

    setDefaultState();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);

    buildTextures(*this);

    torusList = glGenLists(1);
    glNewList(torusList, GL_COMPILE);
    TorusMesh torus{};
    BuildTorus(torus);
    glEndList();

    MusicStart(songSlot);
    SongPlay(*songSlot);

    scroller->songSlot = songSlot;
    scroller->createProgram();
    scroller->createFontTexture();
    scroller->layoutText();
    scroller->list = glGenLists(1);
    glNewList(scroller->list, GL_COMPILE);
    scroller->compileList();
    glEndList();
}

void GLView::setCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(gui->width) / static_cast<double>(gui->height), 0.001,
                   500.0);
    gluLookAt(camera[0], camera[1], camera[2], 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
}

void GLView::render(const FrameRecord& record) {
    const GlExtensions& ext = glExtensions;

    // Off-screen pass.
    glViewport(0, 0, static_cast<GLsizei>(renderTarget->width),
               static_cast<GLsizei>(renderTarget->height));
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderTarget->framebuffer);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glLoadIdentity();
    glRotatef(record.skyAngle, 0.2f, 0.5f, 0.4f);
    glGetFloatv(GL_MODELVIEW_MATRIX, skyRotation);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    setCamera();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glDisable(GL_BLEND);
    glPushMatrix();
    glMultMatrixf(skyRotation);
    const float brightness = record.skyBrightness;
    glColor4f(brightness, brightness, brightness, 1.0f);
    DrawSkyBox(skyCubeMap);
    glPopMatrix();
    glEnable(GL_BLEND);

    drawShells(*this, record);
    scroller->render(record.scroller);

    drawFinalPass();
}

// Magnifies the target onto the window as one quad.
void GLView::drawFinalPass() {
    const GlExtensions& ext = glExtensions;
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(GL_TEXTURE_2D, renderTarget->colorTexture);
    ext.glGenerateMipmapEXT(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);

    glViewport(0, 0, static_cast<GLsizei>(gui->width), static_cast<GLsizei>(gui->height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    glPushMatrix();
    gluLookAt(0.0, 0.0, -1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, renderTarget->colorTexture);
    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}
