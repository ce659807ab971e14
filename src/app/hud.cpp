// The game clock and every line of screen text.
#include "shell.h"

#include <GL/glut.h>

#include <ctime>

namespace {

struct HelpLine {
    int         y;  // baseline, pixels from the top
    const char* text;
};

// The keys are the lowercase letters; the help names them in uppercase.
constexpr HelpLine HELP_LINES[] = {
    {110, "Help:"},
    {140, "H - Enable shadows"},
    {170, "Y - Toggle blimp view"},
    {200, "R - Toggle run"},
    {230, "W - Toggle help"},
    {260, "Q - Reset game (after win/loss)"},
    {290, "ESC - Quit"},
    {330, "E - Forward"},
    {360, "D - Backward"},
    {390, "S - Left"},
    {420, "F - Right"},
    {450, "Mouse or Numpad controls camera"},
};

constexpr int TEXT_LEFT = 30;
constexpr int TIME_LINE_Y = 40;

}  // namespace

time_t timeLeft(time_t now) {
    return seconds - now;  // both time_t: no truncation when the clock passes 2038
}

void resetTime() {
    if (started) return;
    seconds = std::time(nullptr) + initialTime;
    started = true;
    dog.reset(0.0f, 0.0f, 0.0f);
    scene.resetBones();
    won = false;
    transX = 0.0f;
    transY = 10.0f;
    transZ = 15.0f;
    // Camera angles, zoom and the view options carry over into the new game.
}

void displayTime() {
    time_t remaining = timeLeft(std::time(nullptr));
    // 0 is still playing time; the second after it ends the game, shown from this frame on.
    if (remaining < 0) {
        started = false;
        remaining = 0;
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        if (!won) {
            renderBitmapString(w / 2 - 90, h / 2, GLUT_BITMAP_TIMES_ROMAN_24, "GAME OVER");
            renderBitmapString(w / 2 - 70, h / 2 + 30, GLUT_BITMAP_TIMES_ROMAN_24, "PRESS Q");
        }
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    renderBitmapString(TEXT_LEFT, TIME_LINE_Y, GLUT_BITMAP_HELVETICA_18,
                       "Time Left: " + std::to_string(static_cast<long long>(remaining)));
}

void displayHelp() {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const HelpLine& line : HELP_LINES) {
        renderBitmapString(TEXT_LEFT, line.y, GLUT_BITMAP_HELVETICA_18, line.text);
    }
}

void renderBitmapString(float x, float y, void* font, std::string text) {
    glPushMatrix();
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
            // One unit per pixel, origin at the top-left, y growing downward.
            glLoadIdentity();
            gluOrtho2D(0, w, 0, h);
            glScalef(1.0f, -1.0f, 1.0f);
            glTranslatef(0.0f, static_cast<float>(-h), 0.0f);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            // The current colour is latched here as the text colour.
            glRasterPos2f(x, y);
            for (char c : text) glutBitmapCharacter(font, static_cast<unsigned char>(c));
            glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_LIGHTING);  // every frame draws lit: the text leaves lighting on
}
