#ifndef BONEYARD_SCENE_H
#define BONEYARD_SCENE_H

#include "Bone.h"
#include "Bound.h"
#include "Bush.h"
#include "Tree.h"
#include "objreader.h"

class GLUquadric;

// The yard: every tree, bush, bone and collision box in fixed-capacity arrays, the two
// OBJ props, and the drawing of the whole yard. Built once; only the bones' collected
// flags and spin angles change afterwards.
class Scene {
public:
    static constexpr int BOUND_SLOTS = 20;

    explicit Scene(int maxTrees);  // lays out the yard and loads "car4x4.obj" and "toy.obj"
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void makeScene();
    void addTree(float x, float y, float z, float a, float b);  // ignored when full
    void addBush(float x, float y, float z);                    // ignored when full
    void addBone(float x, float y, float z, float r, float g, float b);  // truncates x, y, z; ignored when full
    void addBound(float y, float x1, float z1, float x2, float z2,
                  float x3, float z3, float x4, float z4);      // ignored when all 20 slots are used

    bool checkCollision(float x, float y, float z) const;  // true: inside a tree's cube or a bound
    int  checkBones(float x, float y, float z);  // collects bones in reach (not const); returns how many remain
    void resetBones();

    void drawScene();
    void drawStill();  // drawScene without the bones: the part of the yard that never changes
    void drawTrees() const;
    void drawBushes() const;
    void drawBones();
    void drawBounds() const;
    void drawPool() const;
    void drawBackground() const;
    void drawFence() const;
    void drawRoads() const;

    int getNumTrees() const  { return numTrees; }
    int getNumBushes() const { return numBushes; }
    int getNumBones() const  { return numBones; }
    int getNumBounds() const { return numBounds; }
    int getMaxTrees() const  { return maxTrees; }
    int getMaxBushes() const { return maxBushes; }
    int getMaxBones() const  { return maxBones; }
    const Tree&  getTree(int i) const  { return trees[i]; }   // i below getNumTrees()
    const Bush&  getBush(int i) const  { return bushes[i]; }
    const Bone&  getBone(int i) const  { return bones[i]; }
    const Bound& getBound(int i) const { return bounds[i]; }
    const objReader& getCar() const { return car; }
    const objReader& getToy() const { return toy; }

private:
    void drawYard(bool withBones);

    Bush*  bushes;
    int    numBushes;
    int    maxBushes;
    Bone*  bones;
    int    numBones;
    int    maxBones;
    Tree*  trees;
    int    numTrees;
    int    maxTrees;
    Bound* bounds;
    int    numBounds;
    objReader car;
    objReader toy;
    GLUquadric* quadric;
    int    groundTexture;
    int    stoneTexture;
    int    moonTexture;
};

#endif
